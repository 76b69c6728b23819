#pragma once
// The function a formula stands for: its truth table over its letters, one bit per
// minterm. Minterm m gives the formula's first letter (in the order A..Z, a..z) the
// value of the most significant of its bits and the last letter the least, so minterm m
// is row m of the truth table, and the numbers are the ones textbooks write.
//
// The minterm's bit v is the variable v; letter i of the formula is variable
// count-1-i. Cubes (Cube.h) are written over variables.

#include <cstdint>
#include <optional>

#include "formula/FormulaNode.h"
#include "formula/TreeOperations.h"  // LettersOfTree
#include "runtime/BudgetAllocator.h"

namespace lumenark {

// The most letters the minimum is computed for: the truth table and the rows of the
// cover grow with 2^letters.
inline constexpr int kMostMinimumLetters = 20;

struct BooleanFunction {
  std::uint64_t letters = 0;  // the formula's letters (formula/LetterBits.h)
  int count = 0;              // how many
  // 2^count bits, word w holding minterms 64w to 64w+63 (bit j is minterm 64w+j); a
  // table of fewer than 64 minterms is one word with the bits above them clear.
  BudgetVector<std::uint64_t> table;

  std::uint32_t Minterms() const { return std::uint32_t{1} << count; }
  bool Value(std::uint32_t minterm) const { return ((table[minterm >> 6] >> (minterm & 63)) & 1) != 0; }
  // The formula's letter i (in the order A..Z, a..z), and its variable.
  char Letter(int i) const;
  int VariableOfLetter(int i) const { return count - 1 - i; }
  // The minterms where the value is 1, ascending.
  BudgetVector<std::uint32_t> Ones() const;
  // The function's negation (its 0s become 1s).
  BooleanFunction Complement() const;
};

// The bits of a table's word that hold minterms: all 64, or the first 2^count.
inline std::uint64_t TableBits(int count) {
  return count >= 6 ? ~std::uint64_t{0} : (std::uint64_t{1} << (std::uint64_t{1} << count)) - 1;
}

// The tree's truth table over its letters, evaluated 64 minterms at a time. Requires at
// most kMostMinimumLetters letters. Nothing when Stop (or exhausted memory) ended it.
std::optional<BooleanFunction> FunctionOfFormula(const FormulaNode* root);

}  // namespace lumenark
