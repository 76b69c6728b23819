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
  if (StopRequested || !StackHasRoom()) return ModelDiagram::Unknown;
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

std::optional<Verdict> AskDiagram(const FormulaNode* root, std::uint64_t letters) {
  try {
    ModelDiagram diagram(VerdictDiagramNodeLimit);
    const ModelDiagram::Set set = DiagramOf(root, diagram);
    if (set == ModelDiagram::Unknown) return std::nullopt;
    if (set == ModelDiagram::None) return Verdict{Verdict::Kind::NotConsistent, letters, 0};
    if (set == ModelDiagram::All) return Verdict{Verdict::Kind::Valid, letters, 0};
    return Verdict{Verdict::Kind::Consistent, letters, diagram.FirstAssignment(set) & letters};
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

// Whether the formula can have the value; the model found, if it can.
SatAnswer AskSolver(const FormulaNode* root, bool value, std::uint64_t letters, Host& host, std::uint64_t& model) {
  FormulaSat sat(host, FormulaSat::Refusal::EndsSolver);
  if (!sat.Assert(root, value)) return SatAnswer::Stopped;
  const SatAnswer answer = sat.Solve(std::initializer_list<int>{});
  if (answer == SatAnswer::Satisfiable) {
    model = 0;
    for (std::uint64_t rest = letters; rest != 0; rest &= rest - 1) {
      const std::uint64_t bit = rest & (~rest + 1);
      if (sat.Value(__builtin_ctzll(bit) + 1)) model |= bit;
    }
  }
  return answer;
}

}  // namespace

std::size_t VerdictDiagramNodeLimit = std::size_t{1} << 16;

Verdict FindVerdict(const FormulaNode* root, Host& host) {
  const std::uint64_t letters = LettersOfTree(root);
  if (std::optional<Verdict> known = AskDiagram(root, letters)) return *known;
  if (StopRequested) return Verdict{Verdict::Kind::Stopped, letters, 0};
  // One solver at a time, each given up before the next is made.
  std::uint64_t model = 0;
  SatAnswer answer = AskSolver(root, true, letters, host, model);
  if (answer == SatAnswer::Unsatisfiable) return Verdict{Verdict::Kind::NotConsistent, letters, 0};
  if (answer == SatAnswer::Satisfiable) {
    std::uint64_t unused = 0;
    answer = AskSolver(root, false, letters, host, unused);
    if (answer == SatAnswer::Unsatisfiable) return Verdict{Verdict::Kind::Valid, letters, 0};
    // Without an answer about the negation (its solver's memory could not be had) the
    // formula is still known to be consistent.
    if (!StopRequested) return Verdict{Verdict::Kind::Consistent, letters, model};
  }
  return Verdict{StopRequested ? Verdict::Kind::Stopped : Verdict::Kind::Unknown, letters, 0};
}

}  // namespace lumenark
