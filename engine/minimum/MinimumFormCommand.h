#pragma once
// Minimum DNF and Minimum CNF: the formula's smallest sum of products (product of sums),
// with the fewest terms and among those the fewest literals, proved minimum. The tree
// becomes it, as the normal-form commands leave their result; a formula the search
// cannot finish with, a stop and exhausted memory leave the tree as it was and print
// no result.
//
// What is written, by Details:
// - 0 and 1, the steps as a textbook shows them: the minterms (maxterms for a CNF), the
//   prime implicants (implicates), each with its cube and term, the essential ones, the
//   chart of what they leave, the cover chosen, and the result line;
// - 2: the formula of all prime implicants and the minimum, without comments;
// - 3: the result line "Result - Minimum DNF:..." ("Result - Minimum CNF:...");
// - 4: nothing; the command prints the result where Results is on.
// Lists and charts longer than a page are given as counts.

#include <cstdint>
#include <string>
#include <string_view>

#include "formula/FormulaDocument.h"

namespace lumenark {

enum class MinimumKind { DNF, CNF };

inline constexpr std::string_view kMinimumLettersMessage = "A minimum form is found for formulas of up to 20 letters.";
// Where the search gives up: what it found and proved, "No minimum form could be proved
// in reasonable time: the best found has 312 terms; no DNF has fewer than 307. The
// formula is unchanged." (clauses and CNF for a CNF), or, where the fewest terms were
// proved, "...: the fewest terms are 77, but not which of those DNFs has the fewest
// literals. The formula is unchanged."
std::string MinimumNotProvedMessage(MinimumKind kind, std::uint64_t bestTerms, std::uint64_t fewestTerms);

// True when the tree became the proved minimum form.
bool MakeMinimumForm(FormulaDocument& doc, MinimumKind kind);

}  // namespace lumenark
