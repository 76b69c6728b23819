#include "proofs/Equivalence.h"

#include <array>
#include <bit>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "proofs/Assignment.h"
#include "runtime/EngineGlobals.h"
#include "runtime/MemoryBudget.h"
#include "sat/FormulaSat.h"
#include "text/MemoryEditorText.h"
#include "text/ParseErrors.h"

namespace lumenark {
namespace equivalence_detail {

// Compiling apart: the parser's messages are kept back (the caller decides what the
// user sees); waiting input still reaches the window.
class QuietHost final : public Host {
 public:
  explicit QuietHost(Host& host) : host_(host) {}
  void ShowMessage(std::string_view) override {}
  void ProcessPendingInput() override { host_.ProcessPendingInput(); }
  bool StopDialogVisible() const override { return host_.StopDialogVisible(); }
  void SetStopDialogVisible(bool visible) override { host_.SetStopDialogVisible(visible); }

 private:
  Host& host_;
};

// A document of its own that compiles text quietly.
class QuietCompiler {
 public:
  // A new document clears StopRequested; a stop pressed meanwhile still counts.
  explicit QuietCompiler(Host& host) : stop(StopRequested), quiet(host), doc(text, quiet) { StopRequested = stop; }
  bool stop;
  MemoryEditorText text;
  QuietHost quiet;
  FormulaDocument doc;

  // Compiles text here: the parser's code, and where it stopped.
  std::uint8_t Compile(std::string_view source, std::size_t& stopped) {
    text.SelectAll();
    text.ReplaceSelection(source);
    text.SelectAll();
    doc.XComp();
    stopped = text.SelectionStart();
    return doc.ParseError;
  }
};

}  // namespace equivalence_detail

namespace {

using equivalence_detail::QuietCompiler;

bool IsSkipped(char c) { return static_cast<unsigned char>(c) >= 1 && static_cast<unsigned char>(c) <= 32; }

// Where, in text that failed with "Missing operator." at index stop, a second formula
// starts on a later line than the first ends: stop itself when a line break lies between.
bool SecondFormulaAt(std::string_view text, std::uint8_t error, std::size_t stop) {
  if (error != kMissingOperator || stop > text.size()) return false;
  for (std::size_t i = stop; i > 0 && IsSkipped(text[i - 1]); --i) {
    if (text[i - 1] == '\n' || text[i - 1] == '\r') return true;
  }
  return false;
}

}  // namespace

FirstFormula::FirstFormula(Host& host) : parts_(std::make_unique<QuietCompiler>(host)) {}
FirstFormula::~FirstFormula() = default;
const FormulaNode* FirstFormula::Root() const { return parts_->doc.Root; }

std::unique_ptr<FirstFormula> CompileTwoFormulas(FormulaDocument& doc) {
  const std::size_t start = doc.Text.SelectionStart(), length = doc.Text.SelectionLength();
  // The copy counts against the budget: a selection may be a document of many megabytes.
  const MemoryCharge copyCharge(length);
  if (!copyCharge.Held()) throw std::bad_alloc();
  const std::string selected = doc.Text.SelectedText();
  auto first = std::make_unique<FirstFormula>(doc.Platform);
  std::size_t split = 0, stop = 0;
  const std::uint8_t whole = first->parts_->Compile(selected, split);
  if (whole == 0) {
    doc.Platform.ShowMessage(kTwoFormulasMessage);
    return nullptr;
  }
  // Anything but a second formula on a later line is the parser's to report, as Compile
  // reports it.
  if (!SecondFormulaAt(selected, whole, split) || first->parts_->Compile(std::string_view(selected).substr(0, split), stop) != 0) {
    doc.XComp();
    return nullptr;
  }
  {
    QuietCompiler second(doc.Platform);
    const std::string_view rest = std::string_view(selected).substr(split);
    const std::uint8_t error = second.Compile(rest, stop);
    if (SecondFormulaAt(rest, error, stop)) {
      doc.Platform.ShowMessage(kTwoFormulasMessage);
      return nullptr;
    }
  }
  doc.Text.SetSelectionStart(start + split);
  doc.Text.SetSelectionLength(length - split);
  doc.XComp();
  if (doc.ParseError != 0) return nullptr;
  return first;
}

void WriteEquivalence(FormulaDocument& doc, const FormulaNode* first) {
  const FormulaNode* second = doc.Root;
  if (first == nullptr || second == nullptr) return;
  FormulaSat sat(doc.Platform);
  const int a = sat.Encode(first);
  const int b = a == 0 ? 0 : sat.Encode(second);
  if (b == 0) return;
  // differ implies that exactly one of the two holds.
  const int differ = sat.NewVariable();
  if (!sat.AddClause(std::array{-differ, a, b}) || !sat.AddClause(std::array{-differ, -a, -b})) return;
  std::vector<int> assumptions{differ};
  SatAnswer answer = sat.Solve(assumptions);
  if (answer == SatAnswer::Stopped) return;
  if (answer == SatAnswer::Unsatisfiable) {
    doc.InsertString(kEquivalent);
    doc.InsertLine();
    return;
  }
  // The first row in the table's order: each letter 0 where some difference remains
  // with it 0, else 1. The last difference found answers for the letters it gives 0.
  const std::uint64_t letters = LettersOfTree(first) | LettersOfTree(second);
  std::uint64_t trueLetters = 0;
  auto keep = [&] {
    trueLetters = 0;
    for (std::uint64_t rest = letters; rest != 0; rest &= rest - 1) {
      const int bit = std::countr_zero(rest);
      if (sat.Value(bit + 1)) trueLetters |= std::uint64_t{1} << bit;
    }
  };
  keep();
  for (std::uint64_t rest = letters; rest != 0; rest &= rest - 1) {
    const int bit = std::countr_zero(rest);
    const int letter = bit + 1;
    if ((trueLetters >> bit) & 1) {
      assumptions.push_back(-letter);
      answer = sat.Solve(assumptions);
      if (answer == SatAnswer::Stopped) return;
      if (answer == SatAnswer::Satisfiable) {
        keep();
        continue;
      }
      assumptions.back() = letter;
    } else {
      assumptions.push_back(-letter);
    }
  }
  const bool firstValue = ValueUnder(first, trueLetters), secondValue = ValueUnder(second, trueLetters);
  if (firstValue == secondValue) throw std::logic_error("the formulas do not differ where the solver said they do");
  doc.InsertString(kNotEquivalent);
  doc.InsertLine();
  if (letters != 0) WriteAssignment(doc, "First difference:", letters, trueLetters);
  if (StopRequested) return;
  doc.InsertString(std::string("Values: first formula ") + (firstValue ? "1" : "0") + ", second formula " +
                   (secondValue ? "1" : "0") + ".");
  doc.InsertLine();
}

}  // namespace lumenark
