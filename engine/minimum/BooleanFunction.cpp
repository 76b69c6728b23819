#include "minimum/BooleanFunction.h"

#include <bit>

#include "formula/LetterBits.h"
#include "runtime/EngineGlobals.h"
#include "runtime/Heartbeat.h"

namespace lumenark {
namespace {

// The tree in post-order, operands before their operator, so that one pass over the list
// evaluates every node. A literal keeps the variable its letter is.
struct TableEntry {
  const FormulaNode* node;
  std::int32_t left = -1, right = -1;
  std::int32_t variable = -1;
};

BudgetVector<TableEntry> TableOrder(const FormulaNode* root, std::uint64_t letters, int count) {
  BudgetVector<TableEntry> entries;
  BudgetVector<std::pair<const FormulaNode*, bool>> pending{{root, false}};
  BudgetVector<std::int32_t> done;
  while (!pending.empty()) {
    auto [node, operandsDone] = pending.back();
    pending.pop_back();
    Heartbeat();
    TableEntry entry{node};
    if (IsLiteral(node)) {
      if (const std::uint64_t bit = LetterBit(node->symbol); bit != 0) {
        entry.variable = count - 1 - std::popcount(letters & (bit - 1));
      }
    } else if (!operandsDone) {
      pending.push_back({node, true});
      pending.push_back({node->right, false});
      pending.push_back({node->left, false});
      continue;
    } else {
      entry.right = done.back();
      done.pop_back();
      entry.left = done.back();
      done.pop_back();
    }
    done.push_back(static_cast<std::int32_t>(entries.size()));
    entries.push_back(entry);
  }
  return entries;
}

// The value of the last entry on the 64 minterms from first on.
std::uint64_t EvaluateWord(const BudgetVector<TableEntry>& entries, std::uint64_t first, BudgetVector<std::uint64_t>& values) {
  static constexpr std::uint64_t kLowBits[6] = {0xAAAAAAAAAAAAAAAAull, 0xCCCCCCCCCCCCCCCCull, 0xF0F0F0F0F0F0F0F0ull,
                                                0xFF00FF00FF00FF00ull, 0xFFFF0000FFFF0000ull, 0xFFFFFFFF00000000ull};
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const TableEntry& e = entries[i];
    std::uint64_t v;
    if (IsLiteral(e.node)) {
      if (e.variable < 0) v = e.node->symbol == '1' ? ~0ull : 0;
      else if (e.variable < 6) v = kLowBits[e.variable];
      else v = ((first >> e.variable) & 1) != 0 ? ~0ull : 0;
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
  return values.back();
}

}  // namespace

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
  const BudgetVector<TableEntry> entries = TableOrder(root, f.letters, f.count);
  BudgetVector<std::uint64_t> values(entries.size());
  const std::size_t words = f.count >= 6 ? std::size_t{1} << (f.count - 6) : 1;
  f.table.resize(words);
  for (std::size_t w = 0; w < words; ++w) {
    if (StopRequested) return std::nullopt;
    f.table[w] = EvaluateWord(entries, w * 64, values);
    for (std::size_t beat = 0; beat < entries.size(); beat += 64) Heartbeat();
  }
  f.table.back() &= TableBits(f.count);
  return f;
}

}  // namespace lumenark
