#pragma once
// Writing the minimum commands' lines through the report output, so that they wrap as
// the rest of a derivation does.

#include <string_view>

#include "formula/FormulaDocument.h"
#include "runtime/EngineGlobals.h"

namespace lumenark {

// A formula given as text, one character a piece as the printer writes it (a line
// break may come before any character), then the line break.
inline void WriteFormulaText(FormulaDocument& doc, std::string_view formula) {
  for (std::size_t i = 0; i < formula.size() && !StopRequested; ++i) doc.InsertString(formula.substr(i, 1));
  doc.InsertLine();
}

// A line of text written whole.
inline void WriteTextLine(FormulaDocument& doc, std::string_view line) {
  if (StopRequested) return;
  doc.InsertString(line);
  doc.InsertLine();
}

// Words after a heading, separated by blanks; a word that does not fit on the line
// starts the next one (without a blank).
template <typename Words>
void WriteWordList(FormulaDocument& doc, std::string_view heading, const Words& words) {
  if (StopRequested) return;
  doc.InsertString(heading);
  for (const auto& word : words) {
    if (StopRequested) return;
    const std::string_view text(word);
    if (OutputColumn + 1 + text.size() < static_cast<std::size_t>(doc.LineWidth)) doc.InsertString(" ");
    else doc.InsertLine();
    doc.InsertString(text);
  }
  doc.InsertLine();
}

}  // namespace lumenark
