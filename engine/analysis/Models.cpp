#include "analysis/Models.h"

#include <bit>
#include <string>
#include <vector>

#include "analysis/TruthTable.h"
#include "formula/LetterBits.h"
#include "runtime/EngineGlobals.h"
#include "sat/FormulaSat.h"

namespace lumenark {
namespace {

constexpr const char* kNotConsistent = "This formula is not consistent.";
constexpr const char* kValid = "This formula is valid.";

// The letters' solver variables in the table's order.
std::vector<int> LetterVariables(std::uint64_t letters) {
  std::vector<int> variables;
  for (; letters != 0; letters &= letters - 1) variables.push_back(std::countr_zero(letters) + 1);
  return variables;
}

char LetterOfVariable(int variable) {
  return static_cast<char>(variable <= 26 ? 'A' + variable - 1 : 'a' + variable - 27);
}

}  // namespace

void WriteModel(FormulaDocument& doc, ModelKind kind) {
  if (doc.Root == nullptr) return;
  const std::vector<int> letters = LetterVariables(LettersOfTree(doc.Root));
  FormulaSat sat(doc.Platform);
  const int formula = sat.Encode(doc.Root);
  if (formula == 0) return;
  // Assumptions: the formula (or its negation), then each letter fixed so far.
  std::vector<int> assumptions{kind == ModelKind::Model ? formula : -formula};
  SatAnswer answer = sat.Solve(assumptions);
  if (answer == SatAnswer::Stopped) return;
  if (answer == SatAnswer::Unsatisfiable) {
    doc.InsertString(kind == ModelKind::Model ? kNotConsistent : kValid);
    doc.InsertLine();
    return;
  }
  std::vector<bool> found(letters.size());
  auto keep = [&] {
    for (std::size_t i = 0; i < letters.size(); ++i) found[i] = sat.Value(letters[i]);
  };
  keep();
  for (std::size_t i = 0; i < letters.size(); ++i) {
    if (found[i]) {
      assumptions.push_back(-letters[i]);
      answer = sat.Solve(assumptions);
      if (answer == SatAnswer::Stopped) return;
      if (answer == SatAnswer::Satisfiable) {
        keep();
        continue;
      }
      assumptions.back() = letters[i];
    } else {
      assumptions.push_back(-letters[i]);
    }
  }
  // The label, then one "A=0" after another; a line that is full continues on the next
  // without a blank.
  doc.InsertString(kind == ModelKind::Model ? kModelLabel : kCountermodelLabel);
  for (std::size_t i = 0; i < letters.size() && !StopRequested; ++i) {
    const char piece[] = {LetterOfVariable(letters[i]), '=', found[i] ? '1' : '0'};
    if (OutputColumn + 1 + sizeof piece < static_cast<std::size_t>(doc.LineWidth)) doc.InsertString(" ");
    else doc.InsertLine();
    doc.InsertString(std::string_view(piece, sizeof piece));
  }
  if (!StopRequested) doc.InsertLine();
}

}  // namespace lumenark
