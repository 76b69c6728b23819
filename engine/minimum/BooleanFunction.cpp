#include "minimum/BooleanFunction.h"

#include <bit>

#include "formula/LetterBits.h"
#include "formula/RowEvaluation.h"
#include "runtime/EngineGlobals.h"
#include "runtime/Heartbeat.h"

namespace lumenark {

char BooleanFunction::Letter(int i) const {
  std::uint64_t rest = letters;
  for (; i > 0; --i) rest &= rest - 1;
  const int bit = std::countr_zero(rest);
  return static_cast<char>(bit < 26 ? 'A' + bit : 'a' + bit - 26);
}

BudgetVector<std::uint32_t> BooleanFunction::Ones() const {
  BudgetVector<std::uint32_t> ones;
  for (std::size_t w = 0; w < table.size(); ++w) {
    for (std::uint64_t bits = table[w]; bits != 0; bits &= bits - 1) {
      ones.push_back(static_cast<std::uint32_t>(w * 64 + static_cast<std::size_t>(std::countr_zero(bits))));
    }
  }
  return ones;
}

BooleanFunction BooleanFunction::Complement() const {
  BooleanFunction complement{letters, count, table};
  for (std::uint64_t& word : complement.table) word = ~word;
  complement.table.back() &= TableBits(count);
  return complement;
}

std::optional<BooleanFunction> FunctionOfFormula(const FormulaNode* root) {
  BooleanFunction f;
  f.letters = LettersOfTree(root);
  f.count = std::popcount(f.letters);
  const RowEntries entries = RowOrder(root, f.letters);
  BudgetVector<std::uint64_t> values(entries.size());
  const std::size_t words = f.count >= 6 ? std::size_t{1} << (f.count - 6) : 1;
  f.table.resize(words);
  for (std::size_t w = 0; w < words; ++w) {
    if (StopRequested) return std::nullopt;
    EvaluateRows(entries, w * 64, values);
    f.table[w] = values.back();
    for (std::size_t beat = 0; beat < entries.size(); beat += 64) Heartbeat();
  }
  f.table.back() &= TableBits(f.count);
  return f;
}

}  // namespace lumenark
