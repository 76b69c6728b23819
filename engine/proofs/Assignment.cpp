#include "proofs/Assignment.h"

#include <bit>

#include "formula/LetterBits.h"
#include "formula/TreeFold.h"
#include "runtime/BudgetAllocator.h"
#include "runtime/EngineGlobals.h"
#include "runtime/Heartbeat.h"

namespace lumenark {

bool ValueUnder(const FormulaNode* root, std::uint64_t trueLetters) {
  return *FoldTree<bool>(
      root,
      [&](const FormulaNode* node) {
        const bool value = IsConstant(node) ? node->symbol == '1' : (trueLetters & LetterBit(node->symbol)) != 0;
        return value != (node->negated != 0);
      },
      [](const FormulaNode* node, bool a, bool b) {
        bool value;
        switch (node->symbol) {
          case '&': value = a && b; break;
          case '|': value = a || b; break;
          case '>': value = !a || b; break;
          default: value = a == b; break;
        }
        return value != (node->negated != 0);
      });
}

void WriteAssignment(FormulaDocument& doc, std::string_view heading, std::uint64_t letters, std::uint64_t trueLetters) {
  doc.InsertString(heading);
  for (std::uint64_t rest = letters; rest != 0 && !StopRequested; rest &= rest - 1) {
    const int bit = std::countr_zero(rest);
    const char piece[] = {static_cast<char>(bit < 26 ? 'A' + bit : 'a' + bit - 26), '=',
                          (trueLetters >> bit) & 1 ? '1' : '0'};
    if (OutputColumn + 1 + sizeof piece < static_cast<std::size_t>(doc.LineWidth)) doc.InsertString(" ");
    else doc.InsertLine();
    doc.InsertString(std::string_view(piece, sizeof piece));
  }
  if (!StopRequested) doc.InsertLine();
}

}  // namespace lumenark
