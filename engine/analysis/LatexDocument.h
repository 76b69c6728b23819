#pragma once
// A whole document as a standalone LaTeX file for pdflatex (Debian's texlive-latex-base):
//
// - a line that is a formula becomes the formula in math; a line "comment:formula" (the
//   report's result lines) or "(k) formula" (a truth table's numbered columns) becomes
//   the comment in text and the formula in math; a formula the report output broke over
//   several lines is joined again;
// - a truth table as WriteTruthTable writes it (its heading on one line) becomes a
//   longtable, the formulas of its heading in math;
// - every other line is text, each character that means something to TeX written as
//   the character it shows, so that no input can run a TeX command or break the file;
//   characters the fonts lack become their nearest math symbol or letters, control
//   characters a '?'.
//
// Every source line of the file stays short (long lines continue after a '%'), and a
// long word may break anywhere. A document over kMaxLatexDocumentBytes is refused: TeX
// holds each paragraph in a memory of its own, and pages of that many would not be read.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace lumenark {

inline constexpr std::size_t kMaxLatexDocumentBytes = std::size_t{4} << 20;
inline constexpr std::string_view kLatexTooLargeMessage = "The document is too large to export as LaTeX.";

// Writes the LaTeX file of text (8-bit characters, lines broken by CR LF or LF) to sink
// in pieces. Returns the message of a refusal ("Insuficient memory." when the memory
// budget ran out), or nothing when the whole file was written. Runs on the engine stack
// within the memory budget; the current command state (Stop, the output column) is kept.
std::optional<std::string> ExportLatexDocument(std::string_view text,
                                               const std::function<void(std::string_view)>& sink);

}  // namespace lumenark
