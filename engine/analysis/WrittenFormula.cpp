#include "analysis/WrittenFormula.h"

#include <cstdint>

#include "formula/FormulaNode.h"
#include "runtime/BudgetAllocator.h"
#include "runtime/Heartbeat.h"

namespace lumenark {
namespace {

bool IsSkipped(char c) { return static_cast<unsigned char>(c) >= 1 && static_cast<unsigned char>(c) <= 32; }

bool IsLiteralToken(char c) { return c == '0' || c == '1' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The tokens of the text in reading order, and for each the brackets added before and
// after it. Read as the parser reads (operator precedence, all four operators grouped
// to the left), with a stack of operands and one of pending operators.
class WrittenReading {
 public:
  bool Read(std::string_view text) {
    for (const char c : text) {
      Heartbeat();
      if (IsSkipped(c)) continue;
      tokens_.push_back(c);
      if (!Take(c, tokens_.size() - 1)) return false;
    }
    if (expectOperand_) return false;
    if (!ReduceDownToGroup() || !pending_.empty()) return false;
    opens_.resize(tokens_.size());
    return operands_.size() == 1;
  }

  const BudgetString& Tokens() const { return tokens_; }
  std::uint32_t Opens(std::size_t token) const { return opens_[token]; }
  std::uint32_t Closes(std::size_t token) const { return token < closes_.size() ? closes_[token] : 0; }

 private:
  // An operand: its first and last token, and the kind of its outermost connective
  // where that connective stands without brackets around it (0 for a letter, a
  // constant, a negation or a bracketed formula, which never take added brackets).
  struct Operand {
    std::size_t first, last;
    std::uint8_t chainKind;
  };
  // A pending operator: '~', '(' or a connective, and its token.
  struct Pending {
    char symbol;
    std::size_t token;
  };

  bool Take(char c, std::size_t token) {
    if (expectOperand_) {
      if (c == '~' || c == '(') {
        pending_.push_back({c, token});
      } else if (IsLiteralToken(c)) {
        operands_.push_back({token, token, 0});
        EndFactor();
        expectOperand_ = false;
      } else {
        return false;
      }
      return true;
    }
    if (const std::uint8_t kind = KindOfOperator(c)) {
      // Left grouping: what binds at least as tightly is complete.
      while (!pending_.empty() && KindOfOperator(pending_.back().symbol) >= kind) Reduce();
      pending_.push_back({c, token});
      expectOperand_ = true;
      return true;
    }
    if (c != ')' || !ReduceDownToGroup() || pending_.empty()) return false;
    const std::size_t open = pending_.back().token;
    pending_.pop_back();
    operands_.back() = {open, token, 0};
    EndFactor();
    return true;
  }

  // A factor is complete: the negations written before it take it in.
  void EndFactor() {
    while (!pending_.empty() && pending_.back().symbol == '~') {
      operands_.back().first = pending_.back().token;
      pending_.pop_back();
    }
  }

  // Joins the operands of every pending connective down to the innermost open bracket.
  bool ReduceDownToGroup() {
    while (!pending_.empty() && KindOfOperator(pending_.back().symbol) != 0) Reduce();
    return pending_.empty() || pending_.back().symbol == '(';
  }

  void Reduce() {
    const std::uint8_t kind = KindOfOperator(pending_.back().symbol);
    pending_.pop_back();
    const Operand right = operands_.back();
    operands_.pop_back();
    const Operand left = operands_.back();
    Bracket(kind, left);
    Bracket(kind, right);
    operands_.back() = {left.first, right.last, kind};
  }

  void Bracket(std::uint8_t operatorKind, const Operand& operand) {
    if (operand.chainKind == 0 || !EveryReadingNeedsParentheses(operatorKind, operand.chainKind)) return;
    if (opens_.size() <= operand.first) opens_.resize(operand.first + 1);
    if (closes_.size() <= operand.last) closes_.resize(operand.last + 1);
    ++opens_[operand.first];
    ++closes_[operand.last];
  }

  BudgetString tokens_;
  BudgetVector<Operand> operands_;
  BudgetVector<Pending> pending_;
  BudgetVector<std::uint32_t> opens_, closes_;
  bool expectOperand_ = true;
};

std::string_view TokenSymbol(const char& c, const FormulaSymbols& symbols) {
  switch (c) {
    case '~': return symbols.negation;
    case '(': return symbols.open;
    case ')': return symbols.close;
    case '=': return symbols.equivalence;
    case '>': return symbols.implication;
    case '|': return symbols.disjunction;
    case '&': return symbols.conjunction;
    case '1': return symbols.one;
    case '0': return symbols.zero;
    default: return std::string_view(&c, 1);
  }
}

}  // namespace

bool PrintWrittenFormula(std::string_view text, const FormulaSymbols& symbols,
                         const std::function<bool(std::string_view)>& piece) {
  WrittenReading reading;
  if (!reading.Read(text)) return false;
  const BudgetString& tokens = reading.Tokens();
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    for (std::uint32_t k = reading.Opens(i); k > 0; --k) {
      if (!piece(symbols.open)) return false;
    }
    if (!piece(TokenSymbol(tokens[i], symbols))) return false;
    for (std::uint32_t k = reading.Closes(i); k > 0; --k) {
      if (!piece(symbols.close)) return false;
    }
  }
  return true;
}

}  // namespace lumenark
