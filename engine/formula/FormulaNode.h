#pragma once
// The formula tree: one record per operator or literal, two operands per operator.
// Negation is a flag on a node, never a node of its own.

#include <cstdint>

namespace lumenark {

// Kind codes. Their numeric order is the binding strength: a larger code binds tighter
// ('&' tighter than '|', tighter than '>', tighter than '='; literals tightest). The
// printer chooses its parentheses by comparing these codes. Code 5 is unused.
enum NodeKind : std::uint8_t {
  nkEquivalence = 1,  // '='
  nkImplication = 2,  // '>'  (left implies right)
  nkDisjunction = 3,  // '|'
  nkConjunction = 4,  // '&'
  nkLiteral = 6,      // a letter 'A'..'Z', 'a'..'z', or a constant '0' / '1'
};

struct FormulaNode {
  char symbol;           // operator character, or the literal's letter or constant
  std::uint8_t kind;     // a NodeKind
  std::uint8_t negated;  // 1 when the node, with everything below it, is negated
  FormulaNode* left;     // first operand; on literals a temporary link while minimising
  FormulaNode* right;    // second operand; on literals a temporary link while minimising
};

// A slot is the place that holds a node reference: a document's Root, a parent's
// left or right, or a local variable of an operation. Operations that may replace
// a subtree take its slot.
using Slot = FormulaNode*&;

inline bool IsLiteral(const FormulaNode* n) { return n->kind == nkLiteral; }
inline bool IsConstantSymbol(char c) { return c == '0' || c == '1'; }
// Constants are recognised by their symbol alone; only literals carry '0' and '1'.
inline bool IsConstant(const FormulaNode* n) { return IsConstantSymbol(n->symbol); }
inline bool IsVariableLiteral(const FormulaNode* n) { return IsLiteral(n) && !IsConstant(n); }
inline bool IsAndOr(char c) { return c == '&' || c == '|'; }

// The kind that goes with an operator character; 0 for any other character.
inline std::uint8_t KindOfOperator(char c) {
  switch (c) {
    case '=': return nkEquivalence;
    case '>': return nkImplication;
    case '|': return nkDisjunction;
    case '&': return nkConjunction;
    default: return 0;
  }
}

}  // namespace lumenark
