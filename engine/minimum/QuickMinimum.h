#pragma once
// What Formula > Minimum forms can give where a decision's minimal DNF does not fit in
// the memory: the proved Minimum DNF, which needs no multiplying out. Its number of terms
// is given where the truth table, the prime implicants and the cover search come within
// about a second's work, counted (not timed), so that the same formula always gets the
// same note.

#include <cstddef>
#include <optional>
#include <string>

#include "formula/FormulaNode.h"
#include "runtime/Host.h"

namespace lumenark {

// The number of terms of the formula's Minimum DNF, where it is proved within about a
// second's work and the memory budget; nothing otherwise (more than 20 letters, too much
// work, memory, a stop). A stop leaves StopRequested set; nothing else of the command's
// flags changes.
std::optional<std::size_t> QuickMinimumTerms(const FormulaNode* root, Host& host);

// The note's line: "Its Minimum DNF, proved, has N terms: Formula > Minimum forms >
// Minimum DNF (lumenark-cli minimumdnf).", or without the number where it is not known.
std::string MinimumDnfNote(std::optional<std::size_t> terms);

}  // namespace lumenark
