#include "formula/RowEvaluation.h"

#include <bit>

#include "formula/LetterBits.h"
#include "formula/TreeFold.h"

namespace lumenark {

RowEntries RowOrder(const FormulaNode* root, std::uint64_t letters) {
  const int count = std::popcount(letters);
  RowEntries entries;
  auto add = [&](RowEntry entry) {
    entries.push_back(entry);
    return static_cast<std::int32_t>(entries.size() - 1);
  };
  FoldTree<std::int32_t>(
      root,
      [&](const FormulaNode* node) {
        RowEntry entry{node};
        if (const std::uint64_t bit = LetterBit(node->symbol); bit != 0) {
          // Letter i (in A..Z, a..z order among the formula's letters) is row bit count-1-i.
          entry.rowBit = count - 1 - std::popcount(letters & (bit - 1));
        }
        return add(entry);
      },
      [&](const FormulaNode* node, std::int32_t left, std::int32_t right) { return add(RowEntry{node, left, right}); });
  return entries;
}

void EvaluateRows(const RowEntries& entries, std::uint64_t first, BudgetVector<std::uint64_t>& values) {
  // A letter read from the row's lowest six bits alternates within the word.
  static constexpr std::uint64_t kLowBits[6] = {0xAAAAAAAAAAAAAAAAull, 0xCCCCCCCCCCCCCCCCull, 0xF0F0F0F0F0F0F0F0ull,
                                                0xFF00FF00FF00FF00ull, 0xFFFF0000FFFF0000ull, 0xFFFFFFFF00000000ull};
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const RowEntry& e = entries[i];
    std::uint64_t v;
    if (IsLiteral(e.node)) {
      if (e.rowBit < 0) v = e.node->symbol == '1' ? ~0ull : 0;
      else if (e.rowBit < 6) v = kLowBits[e.rowBit];
      else v = ((first >> e.rowBit) & 1) != 0 ? ~0ull : 0;
    } else {
      const std::uint64_t a = values[e.left], b = values[e.right];
      switch (e.node->symbol) {
        case '&': v = a & b; break;
        case '|': v = a | b; break;
        case '>': v = ~a | b; break;
        default: v = ~(a ^ b); break;
      }
    }
    values[i] = e.node->negated ? ~v : v;
  }
}

}  // namespace lumenark
