#pragma once
// The Tableau command: the semantic tableau (truth tree) of the negation of the
// document's formula (proofs/TableauTree.h), written at the caret as a textbook sets it,
// then the verdict.
//
//   Tableau:
//   1. ~(A|B>B|A)   negated formula
//   2. A|B          1, ~>
//   3. ~(B|A)       1, ~>
//   4. ~B           3, ~|
//   5. ~A           3, ~|
//     6. A          2, |
//     closed: 5, 6
//   7. B            2, |
//   closed: 4, 7
//   All branches close: the formula is valid.
//
// Lines are numbered as written; each names the line it came from and the rule. Where a
// rule branches, the branch with fewer lines is written first, two places further in,
// and the other branch follows at the place of the line it grows from. Each branch ends
// in "closed: " and the two lines that contradict each other (one line for a false
// constant), "open", or "not developed" (a branch the search did not need once it had
// found an open one). An open branch gives the verdict "A branch stays open: the formula
// is not valid." and the line "Countermodel: A=1 B=0 ...", the open branch's letters (the
// other letters 0), checked by evaluating the formula before it is written.
//
// Details 0 and 1 write every line with its justification; 2 the lines without it; 3 a
// summary line ("Result - Tableau: ..."); 4 only the verdict and the countermodel. A tree
// of more than kMaxTableauLines lines is not written: a line says so, and the verdict
// follows. A stop ends the command without a verdict; the document's tree is unchanged.

#include <cstddef>
#include <string_view>

#include "formula/FormulaDocument.h"

namespace lumenark {

inline constexpr std::size_t kMaxTableauLines = 100000;
inline constexpr std::string_view kTableauHeading = "Tableau:";
inline constexpr std::string_view kTableauValid = "All branches close: the formula is valid.";
inline constexpr std::string_view kTableauOpen = "A branch stays open: the formula is not valid.";

void WriteTableau(FormulaDocument& doc);

// Called with each tableau WriteTableau built and wrote to its end, its lines numbered
// as Details 0 to 2 write them (at every level), for a view that draws it; the tree
// refers to nodes of doc's tree. None by default.
struct TableauTree;
using TableauObserver = void (*)(const FormulaDocument& doc, const TableauTree& tree);
void ObserveTableaux(TableauObserver observe);

}  // namespace lumenark
