#pragma once
// A formula tree as LaTeX math: \neg, \land, \lor, \rightarrow, \leftrightarrow, and
// \top and \bot for the constants 1 and 0. A reader of mathematics groups an unbracketed
// chain of implications to the right, may read a chain of equivalences as a chain of
// equalities and may not bind \land more tightly than \lor, so the parentheses are those
// that every reading takes alike (FormulaSymbols::everyReading), not the printer's:
// "(A>B)>(B>A)" is $(A \rightarrow B) \rightarrow (B \rightarrow A)$.

#include <functional>
#include <string_view>

#include "analysis/FormulaText.h"
#include "formula/FormulaDocument.h"

namespace lumenark {

inline constexpr FormulaSymbols kLatexSymbols{
    "\\neg ", "(", ")", " \\leftrightarrow ", " \\rightarrow ", " \\lor ", " \\land ", "\\top", "\\bot", true};

// The math text in chunks, each ending after a binary operator (the last one ends with
// the formula), so that lines may break at operators. No dollar signs. Returns false
// when chunk asked to stop.
bool LatexChunks(const FormulaNode* node, const std::function<bool(std::string_view)>& chunk);

// Writes the tree at the caret as "$...$" and a line break, broken at operators within
// the line width. The tree is unchanged.
void WriteLatexFormula(FormulaDocument& doc);

}  // namespace lumenark
