#pragma once
// The Equivalence command: the selection holds two formulas, one after the other on
// separate lines, and the answer is "These formulas are equivalent." or the first
// assignment, in the truth table's row order (the first letter of A..Z, a..z the most
// significant, 0 before 1), on which they differ, with each formula's value there:
//
//   These formulas are not equivalent.
//   First difference: A=0 B=1
//   Values: first formula 1, second formula 0.
//
// The assignment runs over the letters of both formulas; formulas without letters leave
// out its line. The SAT solver finds it as the Model command finds a model, letter by
// letter, so 52 letters take milliseconds; both values are checked by evaluation
// before they are written.
//
// Compiling: the selection splits where the parser finds a complete formula followed,
// after a line break, by another formula. The first is compiled apart; the second
// becomes the document's tree, exactly as Compile would leave it (the caret on a new
// line behind the selection), so that a derivation goes on from the later formula. A
// syntax error in either shows the parser's message with the caret at the error; a
// selection of one formula, or of more than two, shows kTwoFormulasMessage.

#include <memory>
#include <string_view>

#include "formula/FormulaDocument.h"

namespace lumenark {

inline constexpr std::string_view kTwoFormulasMessage = "Select two formulas, one on each line.";
inline constexpr std::string_view kEquivalent = "These formulas are equivalent.";
inline constexpr std::string_view kNotEquivalent = "These formulas are not equivalent.";

namespace equivalence_detail {
class QuietCompiler;
}

// The first formula of the selection, compiled apart from the document.
class FirstFormula {
 public:
  explicit FirstFormula(Host& host);
  ~FirstFormula();
  const FormulaNode* Root() const;

 private:
  friend std::unique_ptr<FirstFormula> CompileTwoFormulas(FormulaDocument& doc);
  std::unique_ptr<equivalence_detail::QuietCompiler> parts_;
};

// Compiles the two formulas of the selection (which must not be empty). Null after a
// message; otherwise the first formula, and the second is the document's tree.
std::unique_ptr<FirstFormula> CompileTwoFormulas(FormulaDocument& doc);

// Compares the first formula with the document's tree and writes the answer.
void WriteEquivalence(FormulaDocument& doc, const FormulaNode* first);

}  // namespace lumenark
