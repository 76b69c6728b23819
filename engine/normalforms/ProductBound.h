#pragma once
// How large a normal form must be, read off the literal form without multiplying it out.
//
// Multiplied out, the literal form's inner chains ('&' in a DNF, '|' in a CNF) make a
// product of one element of each operand, and the outer chains join the products of
// their elements. A product vanishes only where it holds a letter in both signs; the
// others all stay, repetitions included, until the minimisation.
//
// Under an assignment, the products whose literals all have the value the normal form is
// about (true for a DNF term, false for a CNF clause) hold no letter in both signs, so
// they all survive. Counted bottom-up (an outer node adds, an inner node multiplies) they
// are a lower bound on the normal form's elements; and the letters that every one of
// them holds (an inner node unites its operands' letters, an outer node keeps the common
// ones) bound each element's nodes from below: 2k - 1 for k letters, and one to join it.
// The same count without the assignment bounds the elements from above.
//
// The products counted under two assignments are different products wherever the second
// assignment differs from the first on a letter that all of the first's products hold.
// So the assignments are gathered one after the other from the SAT solver, each asked to
// differ so from all before it, and their counts add up.
//
// The conversion holds all the elements as a tree at once; where the lower bound passes
// what the memory budget can hold in nodes, it cannot finish, and the command says so at
// once instead of filling the memory first.

#include <cstdint>
#include <optional>

#include "formula/FormulaNode.h"
#include "runtime/Host.h"

namespace lumenark {

// The nodes of the literal form that ToConDis makes of the tree, saturating at
// UINT64_MAX: an equivalence copies both of its operands (L=R becomes ~(L&~R)&~(R'&~L')),
// every other rule keeps the number of nodes, and the conversion frees none.
std::uint64_t LiteralFormNodes(const FormulaNode* root);

// The elements the normal form with outer operator outer ('&' or '|') has at most,
// saturating at UINT64_MAX. root: literal form ('&' and '|' only, negation only on
// literals); anything else counts as UINT64_MAX.
std::uint64_t ElementsAtMost(const FormulaNode* root, char outer);

// A lower bound on the nodes of the normal form with outer operator outer, from
// assignments as above: first (where given) and then from the SAT solver, until the
// bound passes enough, the solver finds no more within a few conflicts, or a stop. 0
// where root is not in literal form. Saturates at UINT64_MAX.
std::uint64_t NodesAtLeast(const FormulaNode* root, char outer, std::optional<std::uint64_t> first,
                           std::uint64_t enough, Host& host);

}  // namespace lumenark
