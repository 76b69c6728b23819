#pragma once
// Multiplying out an inner chain directly, for the conversions that write no step.
//
// The step-by-step worker distributes an inner chain ('|' in a CNF, '&' in a DNF)
// that holds an outer element by copying the rest of the chain into every product,
// sorting and reducing each clause, and letting the constant evaluation drop the
// clauses that hold a letter in both signs. Its time follows the full product.
//
// MultiplyOutChain gives the identical tree (same clauses in the same order, same
// repetitions, same literal order, same node shapes) without the copies:
//   - the chain is followed on a small side tree that shares what the products have in
//     common: each distribution makes the two products' chains from one rest;
//   - a partial product none of whose clauses can survive the reduction (one for which
//     no assignment makes all the literals of any of its clauses true) can only become
//     the constant that the outer operator ignores, so it is that constant at once and
//     is never multiplied further. Those assignments are kept as bit sets with up to 12
//     letters, as a decision diagram with more (while it stays within its limit), and
//     otherwise the SAT solver is asked about the longer products; a product that holds
//     a letter in both signs is known at once;
//   - a finished clause is built in its final form: the letters in order, each once,
//     in the places the sort, the reduction and the constant evaluation leave them.
// Only the result's nodes are allocated (AllocateNode). The side tree holds the input
// subtree once and, along the current product, one path of the chain per distribution
// (with up to 12 letters each side node carries a bit set of up to 64 words, with more a
// diagram node); nothing on the side grows with the number of products. Its memory
// counts against the budget.

#include <cstdint>
#include <memory>
#include <span>

#include "formula/FormulaNode.h"
#include "normalforms/ElementSequence.h"
#include "runtime/Host.h"

namespace lumenark {

enum class ProductOutcome {
  Done,         // the slot holds the result
  Unsupported,  // the subtree is not in literal form: nothing changed, use the steps
  Stopped,      // StopRequested (a click on Stop, or memory exhausted): slot unchanged
};

// slot: an inner node whose chain holds an outer element, in literal form (operators
// '&' and '|' only, none negated, no constant). Replaces it by what the step-by-step
// worker leaves there: with keepTop, the outer node whose two products are evaluated
// but which is not evaluated itself (as at the root, whose evaluation follows the
// final sort); otherwise the evaluated result, possibly a constant. The input subtree
// is freed once the result is in place. Pending input is processed as the products are
// made; a stop leaves the slot as it was.
ProductOutcome MultiplyOutChain(Slot slot, char outer, bool keepTop, Host& host);

// The products of the root's chain as a compressed sequence, for the minimisation that
// follows at once where no step is written (MinimalNormalForm): the same products in the
// same order as MultiplyOutChain leaves them at the root, each chain's products made
// once for every chain that multiplies out into the same terms. The tree is built only
// for the products that the minimisation keeps.
namespace product_detail {
class Multiplier;
struct ChainNode;
}  // namespace product_detail

// A product that the minimisation keeps: its position among the root's products, and
// the term it has become.
struct Survivor {
  std::uint64_t position;
  Term term;
};

class ProductSequence {
 public:
  ProductSequence(char outer, Host& host);
  ~ProductSequence();
  ProductSequence(const ProductSequence&) = delete;
  ProductSequence& operator=(const ProductSequence&) = delete;

  // root: as MultiplyOutChain's slot. Done: products holds the root's two products side
  // by side, a vanished one as the constant that the outer operator ignores; the input
  // is left as it is. Unsupported as for MultiplyOutChain; Stopped after a stop. Where
  // memory, the stack or the counts run out it throws SequenceAbandoned (or
  // std::bad_alloc), and the products are to be multiplied out in full instead.
  ProductOutcome Build(const FormulaNode* root, ElementSequence& sequence, ElementSequence::Ref& products);
  // The tree of the survivors (in order of position), in the shape that the constant
  // evaluation leaves of the multiplied-out chain; nullptr after a stop or where memory
  // ran out (StopRequested set).
  FormulaNode* Rebuild(std::span<const Survivor> survivors);
  // How many nodes the full products before the point Build reached take (all of them
  // once it is done): a product of k letters is 2k - 1 nodes, and each but one is joined
  // to the others by a node of its own. The full route holds them all at once.
  std::uint64_t NodesCounted() const;

 private:
  std::unique_ptr<product_detail::Multiplier> multiplier_;
  const product_detail::ChainNode* chain_ = nullptr;
};

// How the vanishing partial products are found with more than 12 letters: a decision
// diagram while it stays within this many nodes, the SAT solver past it. Tests lower it
// to take the solver's route on small formulas.
extern std::size_t ProductDiagramNodeLimit;

}  // namespace lumenark
