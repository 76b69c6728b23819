#include "normalforms/Verdict.h"

#include <new>
#include <optional>

#include "formula/TreeOperations.h"
#include "normalforms/ModelDiagram.h"
#include "runtime/EngineGlobals.h"
#include "runtime/StackRoom.h"
#include "sat/FormulaSat.h"

namespace lumenark {
namespace {

// The formula's models as a diagram; Unknown past the bound, after a stop or where the
// stack has no room.
ModelDiagram::Set DiagramOf(const FormulaNode* node, ModelDiagram& diagram) {
  StackLevel level;
  if (StopRequested || !level.HasRoom()) return ModelDiagram::Unknown;
  ModelDiagram::Set set;
  if (IsLiteral(node)) {
    if (IsConstant(node)) {
      set = node->symbol == '1' ? ModelDiagram::All : ModelDiagram::None;
      if (node->negated) set = diagram.Complement(set);
      return set;
    }
    return diagram.Literal(node->symbol, node->negated != 0);
  }
  const ModelDiagram::Set a = DiagramOf(node->left, diagram);
  if (a == ModelDiagram::Unknown) return a;
  const ModelDiagram::Set b = DiagramOf(node->right, diagram);
  switch (node->symbol) {
    case '&': set = diagram.Intersect(a, b); break;
    case '|': set = diagram.Unite(a, b); break;
    case '>': set = diagram.Implication(a, b); break;
    default: set = diagram.Equivalence(a, b); break;
  }
  return node->negated ? diagram.Complement(set) : set;
}

std::optional<Verdict> AskDiagram(const FormulaNode* root, std::uint64_t letters, std::size_t nodes) {
  try {
    ModelDiagram diagram(nodes);
    const ModelDiagram::Set set = DiagramOf(root, diagram);
    if (set == ModelDiagram::Unknown) return std::nullopt;
    if (set == ModelDiagram::None) return Verdict{Verdict::Kind::NotConsistent, letters, 0};
    if (set == ModelDiagram::All) return Verdict{Verdict::Kind::Valid, letters, 0};
    return Verdict{Verdict::Kind::Consistent, letters, diagram.FirstAssignment(set) & letters};
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

// A solver for the formula asserted to have a value, kept across the two shares of the
// search so that the second goes on where the first stopped.
class Question {
 public:
  Question(const FormulaNode* root, bool value, Host& host)
      : root_(root), value_(value), sat_(host, FormulaSat::Refusal::EndsSolver) {}
  // Satisfiable, Unsatisfiable, or Stopped (a stop, no memory, or the conflicts spent).
  // The formula is encoded when first asked about.
  SatAnswer Ask(int conflictLimit) {
    if (!encoded_) {
      encoded_ = true;
      asserted_ = sat_.Assert(root_, value_);
    }
    if (!asserted_) return SatAnswer::Stopped;
    answer_ = sat_.Solve(std::initializer_list<int>{}, conflictLimit);
    return answer_;
  }
  SatAnswer Answer() const { return answer_; }
  bool Failed() const { return (encoded_ && !asserted_) || sat_.OutOfMemory(); }
  std::uint64_t Model(std::uint64_t letters) const {
    std::uint64_t model = 0;
    for (std::uint64_t rest = letters; rest != 0; rest &= rest - 1) {
      const std::uint64_t bit = rest & (~rest + 1);
      if (sat_.Value(__builtin_ctzll(bit) + 1)) model |= bit;
    }
    return model;
  }

 private:
  const FormulaNode* root_;
  const bool value_;
  FormulaSat sat_;
  bool encoded_ = false;
  bool asserted_ = false;
  SatAnswer answer_ = SatAnswer::Stopped;
};

// The solver's verdict within a number of conflicts for each question (-1: none);
// nothing where it has none yet.
std::optional<Verdict> AskSolver(Question& formula, Question& negation, std::uint64_t letters, int conflictLimit) {
  if (formula.Answer() == SatAnswer::Stopped && formula.Ask(conflictLimit) == SatAnswer::Unsatisfiable) {
    return Verdict{Verdict::Kind::NotConsistent, letters, 0};
  }
  if (StopRequested) return Verdict{Verdict::Kind::Stopped, letters, 0};
  if (negation.Answer() == SatAnswer::Stopped && negation.Ask(conflictLimit) == SatAnswer::Unsatisfiable) {
    return Verdict{Verdict::Kind::Valid, letters, 0};
  }
  if (StopRequested) return Verdict{Verdict::Kind::Stopped, letters, 0};
  if (formula.Answer() == SatAnswer::Satisfiable && negation.Answer() == SatAnswer::Satisfiable) {
    return Verdict{Verdict::Kind::Consistent, letters, formula.Model(letters)};
  }
  return std::nullopt;
}

}  // namespace

std::size_t VerdictDiagramNodeLimit = std::size_t{1} << 18;

Verdict FindVerdict(const FormulaNode* root, Host& host) {
  constexpr int kFirstShareOfConflicts = 20'000;
  const std::uint64_t letters = LettersOfTree(root);
  if (std::optional<Verdict> known = AskDiagram(root, letters, VerdictDiagramNodeLimit / 16)) return *known;
  if (StopRequested) return Verdict{Verdict::Kind::Stopped, letters, 0};
  Question formula(root, true, host);
  Question negation(root, false, host);
  if (std::optional<Verdict> known = AskSolver(formula, negation, letters, kFirstShareOfConflicts)) return *known;
  if (std::optional<Verdict> known = AskDiagram(root, letters, VerdictDiagramNodeLimit)) return *known;
  if (StopRequested) return Verdict{Verdict::Kind::Stopped, letters, 0};
  if (std::optional<Verdict> known = AskSolver(formula, negation, letters, -1)) return *known;
  // Without an answer about the negation (its solver's memory could not be had) a
  // formula found satisfiable is still known to be consistent.
  if (formula.Answer() == SatAnswer::Satisfiable && !formula.Failed()) {
    return Verdict{Verdict::Kind::Consistent, letters, formula.Model(letters)};
  }
  return Verdict{};
}

}  // namespace lumenark
