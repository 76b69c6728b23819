#include "analysis/FormulaText.h"

#include "runtime/BudgetAllocator.h"
#include "runtime/Heartbeat.h"

namespace lumenark {
namespace {

std::string_view OperatorSymbol(const FormulaNode* node, const FormulaSymbols& symbols) {
  switch (node->symbol) {
    case '=': return symbols.equivalence;
    case '>': return symbols.implication;
    case '|': return symbols.disjunction;
    default: return symbols.conjunction;
  }
}

std::string_view LiteralSymbol(const FormulaNode* node, const FormulaSymbols& symbols) {
  if (node->symbol == '1') return symbols.one;
  if (node->symbol == '0') return symbols.zero;
  return std::string_view(&node->symbol, 1);
}

bool IsAndOrKind(std::uint8_t kind) { return kind == nkConjunction || kind == nkDisjunction; }

// Whether the operand, not negated, is parenthesised under its operator.
bool NeedsParentheses(const FormulaNode* op, const FormulaNode* operand, bool right, bool everyReading) {
  if (operand->negated || IsLiteral(operand)) return false;
  if (everyReading) return EveryReadingNeedsParentheses(op->kind, operand->kind);
  return operand->kind < op->kind || (right && op->kind == nkImplication && operand->kind == nkImplication);
}

// A pending step of the walk: a node to expand, or a piece to write.
struct Step {
  const FormulaNode* node;  // null for a piece
  std::string_view text;
};

}  // namespace

// A chain of one conjunction or disjunction, and a conjunction or disjunction under an
// implication or equivalence, are read alike by everyone; every other grouping is not.
bool EveryReadingNeedsParentheses(std::uint8_t operatorKind, std::uint8_t operandKind) {
  return !(operandKind == operatorKind && IsAndOrKind(operatorKind)) &&
         !(IsAndOrKind(operandKind) && !IsAndOrKind(operatorKind));
}

bool PrintFormula(const FormulaNode* node, const FormulaSymbols& symbols,
                  const std::function<bool(std::string_view)>& piece) {
  BudgetVector<Step> pending{{node, {}}};
  while (!pending.empty()) {
    const Step step = pending.back();
    pending.pop_back();
    Heartbeat();
    if (step.node == nullptr) {
      if (!piece(step.text)) return false;
      continue;
    }
    const FormulaNode* n = step.node;
    if (IsLiteral(n)) {
      if (n->negated) pending.push_back({nullptr, LiteralSymbol(n, symbols)});
      pending.push_back(n->negated ? Step{nullptr, symbols.negation} : Step{nullptr, LiteralSymbol(n, symbols)});
      continue;
    }
    // Pushed in reverse: what is written last goes first.
    const FormulaNode* right = n->right;
    const FormulaNode* left = n->left;
    const bool rightParens = NeedsParentheses(n, right, true, symbols.everyReading);
    const bool leftParens = NeedsParentheses(n, left, false, symbols.everyReading);
    if (n->negated) pending.push_back({nullptr, symbols.close});
    if (rightParens) pending.push_back({nullptr, symbols.close});
    pending.push_back({right, {}});
    if (rightParens) pending.push_back({nullptr, symbols.open});
    pending.push_back({nullptr, OperatorSymbol(n, symbols)});
    if (leftParens) pending.push_back({nullptr, symbols.close});
    pending.push_back({left, {}});
    if (leftParens) pending.push_back({nullptr, symbols.open});
    if (n->negated) {
      pending.push_back({nullptr, symbols.open});
      pending.push_back({nullptr, symbols.negation});
    }
  }
  return true;
}

std::string FormulaString(const FormulaNode* node, std::size_t limit) {
  std::string text;
  PrintFormula(node, kPlainSymbols, [&](std::string_view piece) {
    text += piece;
    if (text.size() <= limit) return true;
    text.resize(limit);
    text += "...";
    return false;
  });
  return text;
}

}  // namespace lumenark
