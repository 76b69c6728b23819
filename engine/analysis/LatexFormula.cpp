#include "analysis/LatexFormula.h"

#include <string>

#include "runtime/EngineGlobals.h"

namespace lumenark {
namespace {

bool IsBinaryOperator(std::string_view piece) {
  return piece == kLatexSymbols.conjunction || piece == kLatexSymbols.disjunction ||
         piece == kLatexSymbols.implication || piece == kLatexSymbols.equivalence;
}

// A chunk on the current line, or on a new one where it would reach the line width; a
// chunk as long as the line itself stands alone on its line, never after an empty one.
void PutChunk(FormulaDocument& doc, std::string_view chunk) {
  if (OutputColumn != 0 && chunk.size() + OutputColumn >= static_cast<std::size_t>(doc.LineWidth)) doc.InsertLine();
  if (chunk.size() < static_cast<std::size_t>(doc.LineWidth)) {
    doc.InsertString(chunk);
    return;
  }
  doc.Text.ReplaceSelection(chunk);
  OutputColumn = static_cast<std::uint16_t>(OutputColumn + chunk.size());
}

}  // namespace

bool LatexChunks(const FormulaNode* node, const std::function<bool(std::string_view)>& chunk) {
  std::string pending;
  const bool whole = PrintFormula(node, kLatexSymbols, [&](std::string_view piece) {
    pending += piece;
    if (!IsBinaryOperator(piece)) return true;
    const bool more = chunk(pending);
    pending.clear();
    return more;
  });
  return whole && chunk(pending);
}

void WriteLatexFormula(FormulaDocument& doc) {
  if (doc.Root == nullptr) return;
  if (OutputColumn != 0) doc.InsertLine();
  // Each chunk is written when the next is known, so that the last one can carry the
  // closing '$' and the line never breaks before it.
  std::string held = "$";
  bool first = true;
  const bool whole = LatexChunks(doc.Root, [&](std::string_view chunk) {
    if (!first) {
      PutChunk(doc, held);
      held.clear();
    }
    first = false;
    held += chunk;
    return !StopRequested;
  });
  if (!whole || StopRequested) return;
  PutChunk(doc, held + "$");
  doc.InsertLine();
}

}  // namespace lumenark
