#pragma once
// A tableau as the Tableau command writes it into the text ("Tableau:", numbered lines
// with their justifications, a side branch two places further in, "closed: 5, 6" or
// "closed: 5 (0)", "open", "not developed"), found among a document's lines and set in
// LaTeX as a tree: each stretch of a branch a column of centred lines, each fork a rule
// across both branches with a rule between them, closed branches marked with a cross and
// their pair (or their line and its false constant).
// Only a tableau whose every line reads as one is set so (and none deeper than TeX's
// nesting allows); anything else stays text.

#include <cstddef>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

namespace lumenark {

struct LatexTableauOutput {
  std::function<void(std::string_view)> raw;      // LaTeX source as it is
  std::function<void(std::string_view)> text;     // text, escaped for TeX
  std::function<void(std::string_view)> formula;  // a formula in math (or as text if it is none)
};

// Writes the tableau whose heading is lines[first]; returns the lines it took, or 0
// (writing nothing) when no tableau starts there.
std::size_t WriteLatexTableau(std::span<const std::string_view> lines, std::size_t first,
                              const LatexTableauOutput& out);

}  // namespace lumenark
