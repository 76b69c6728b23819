#pragma once
// A tree evaluated on 64 rows of its truth table at a time: the rows are numbered with
// the first of the formula's letters (in the order A..Z, a..z) as the highest bit, and
// bit j of a word holds the value in row first + j. The tree is listed once in post-order,
// operands before their operator, so one pass over the list evaluates every node,
// without recursion.

#include <cstdint>

#include "formula/FormulaNode.h"
#include "runtime/BudgetAllocator.h"

namespace lumenark {

struct RowEntry {
  const FormulaNode* node;
  std::int32_t left = -1, right = -1;  // operand entries of an operator
  std::int32_t rowBit = -1;            // a letter's bit in the row number; -1 for a constant
};
using RowEntries = BudgetVector<RowEntry>;

// The tree in post-order; letters: the formula's letters (formula/LetterBits.h).
RowEntries RowOrder(const FormulaNode* root, std::uint64_t letters);

// The values of every entry on the 64 rows from first (a multiple of 64) on; values has
// an element for each entry.
void EvaluateRows(const RowEntries& entries, std::uint64_t first, BudgetVector<std::uint64_t>& values);

}  // namespace lumenark
