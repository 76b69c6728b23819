#pragma once
// The formulas of a tableau: subformulas of the document's tree, each asserted true or
// false. A node of the tree carries its own negation flag; a signed formula looks at the
// node's core (the node without that flag) and says whether the core is true, so that
// ~(A&B) asserted true is the core A&B asserted false. The rules then need only the four
// connectives and the two truth values, and double negations never arise.
//
// Two formulas with the same structure get the same number (FormulaIds), so a branch
// finds a formula's negation, or the formula itself again, in constant time.

#include <cstdint>
#include <string>
#include <unordered_map>

#include "formula/FormulaNode.h"
#include "runtime/BudgetAllocator.h"

namespace lumenark {

struct SignedFormula {
  const FormulaNode* node;
  bool truth;  // the truth of the node's core

  // The formula as the tree writes it (holds) or its negation (not holds).
  static SignedFormula Of(const FormulaNode* node, bool holds) { return {node, holds != (node->negated != 0)}; }
  // A constant whose value contradicts its sign: the branch that holds it closes.
  bool IsFalseConstant() const { return IsLiteral(node) && IsConstant(node) && (node->symbol == '1') != truth; }
  bool IsTrueConstant() const { return IsLiteral(node) && IsConstant(node) && (node->symbol == '1') == truth; }
};

// The rules of the tableau, named by the connective they take apart, with '~' for the
// negated connective; Negation names the first line, the negated formula, and
// DoubleNegation ("~~") takes a first line "~~X" (the negation of a formula "~X") to X.
enum class TableauRule : std::uint8_t {
  Negation, DoubleNegation, And, NotAnd, Or, NotOr, Implies, NotImplies, Iff, NotIff
};

// "&", "~&", "|", ... as the justification of a line shows them.
const char* RuleName(TableauRule rule);

// What a rule makes of a compound formula: one alternative (a rule that does not
// branch) or two, each of one or two formulas.
struct Decomposition {
  TableauRule rule;
  bool branches;
  SignedFormula alternative[2][2];
  int count[2];  // formulas in each alternative
};

// The rule for a compound formula; false for a literal or a constant.
bool Decompose(SignedFormula formula, Decomposition& out);

// Structure numbers of the cores of a tree's nodes: equal numbers for equal structure.
class FormulaIds {
 public:
  explicit FormulaIds(const FormulaNode* root);
  std::uint32_t Core(const FormulaNode* node) const;
  // The key of a signed formula on a branch; its negation has the key with the last bit
  // flipped.
  std::uint64_t Key(SignedFormula formula) const { return std::uint64_t{Core(formula.node)} * 2 + formula.truth; }

 private:
  using NodeMap = std::unordered_map<const FormulaNode*, std::uint32_t, std::hash<const FormulaNode*>,
                                     std::equal_to<>, BudgetAllocator<std::pair<const FormulaNode* const, std::uint32_t>>>;
  NodeMap ids_;
};

// The formula as the printer writes it (no blanks, the printer's parentheses), and also
// a right operand of its operator's own kind in parentheses, so that the text reads
// back into the same tree and a chain splits as it is written: "A&(B&C)" into "A" and
// "B&C", "A&B&C" into "A&B" and "C". Without recursion: a tree may be as deep as its
// text is long.
std::string FormulaText(SignedFormula formula);

}  // namespace lumenark
