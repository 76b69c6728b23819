#pragma once
// What Decision can know before it rewrites: whether the formula is not consistent,
// valid, or consistent (with a model), asked of the routes that answer each kind of
// formula fastest. A decision diagram answers parity-like formulas (chains of
// equivalences) that a SAT solver finds hard; the solver answers clause-like formulas
// whose diagram would grow past any bound. Each gets a share before the other: a small
// diagram, the solver within a number of conflicts, a large diagram, then the solver to
// the end. The solver is asked once for the formula and once for its negation, each
// asserted as its own clauses.
//
// Neither route changes the tree. Their memory counts against the budget; where it
// cannot be had, the verdict is Unknown and the caller rewrites as before.

#include <cstdint>

#include "formula/FormulaNode.h"
#include "runtime/Host.h"

namespace lumenark {

struct Verdict {
  enum class Kind { NotConsistent, Valid, Consistent, Unknown, Stopped };
  Kind kind = Kind::Unknown;
  std::uint64_t letters = 0;  // the formula's letters (LetterBit)
  std::uint64_t model = 0;    // with Consistent: the letters true in a model
};

// The large diagram's bound on its nodes (the small one's is a sixteenth of it); tests
// lower it to take the solver's route.
extern std::size_t VerdictDiagramNodeLimit;

Verdict FindVerdict(const FormulaNode* root, Host& host);

}  // namespace lumenark
