#pragma once
// A formula tree as a sequence of printed pieces, with the printer's parentheses: an
// operand is parenthesised when it binds more loosely than its operator, and a right
// implication under an implication too (or, with everyReading, with the parentheses
// that every reader takes alike); a negated operator prints as ~( ... ). The
// symbols are a parameter, so the same walk writes plain text (as XDecomp does) and
// LaTeX math. The walk keeps its own list instead of recursing, so any depth prints.

#include <functional>
#include <string>
#include <string_view>

#include "formula/FormulaNode.h"

namespace lumenark {

struct FormulaSymbols {
  std::string_view negation;      // before a negated node
  std::string_view open, close;   // parentheses
  std::string_view equivalence, implication, disjunction, conjunction;
  std::string_view one, zero;     // the constants; letters print as themselves
  // Parentheses for readers who know only the usual conventions, not the printer's
  // grouping: every operand that is itself a connective is parenthesised, except a
  // conjunction or disjunction under an implication or equivalence and a chain of one
  // conjunction or disjunction. Then no reading depends on whether the implication
  // groups to the right, how equivalences chain, or whether & binds more tightly than |.
  bool everyReading = false;
};

inline constexpr FormulaSymbols kPlainSymbols{"~", "(", ")", "=", ">", "|", "&", "1", "0"};

// Whether every reader needs parentheses around an operand of kind operandKind, neither
// negated nor a literal, under an operator of kind operatorKind to group it as the
// program does (the rule of everyReading).
bool EveryReadingNeedsParentheses(std::uint8_t operatorKind, std::uint8_t operandKind);

// Calls piece for each piece in order while it returns true. The pieces of XDecomp's
// output with kPlainSymbols: '~', '(', ')', an operator, a letter or a constant.
// Returns false when piece asked to stop.
bool PrintFormula(const FormulaNode* node, const FormulaSymbols& symbols,
                  const std::function<bool(std::string_view)>& piece);

// The plain text of the tree, or its first limit characters and more (then it is
// longer than limit: compare its size).
std::string FormulaString(const FormulaNode* node, std::size_t limit = std::string::npos);

}  // namespace lumenark
