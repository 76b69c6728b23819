// Decision: the minimal DNF of the formula, and the verdict read from it.

#include "EngineGlobals.h"
#include "FormulaDocument.h"
#include "TreeOperations.h"
#include "ValidityCheck.h"

namespace lumenark {

void FormulaDocument::Decision() {
  if (Root == nullptr) return;
  ToDNF();
  Minimize();
  if (StopRequested || Root == nullptr) return;
  if (!IsConstant(Root)) {
    // A minimal DNF other than a constant can still be valid (minimisation compares
    // clauses only two at a time); such a formula is called valid, not consistent, and
    // its tree becomes the constant 1, as when minimisation gets there itself.
    switch (CheckDnfValidity(Root, Platform)) {
      case Validity::Stopped: return;
      case Validity::NotValid: break;
      case Validity::Valid: BecomeConstantOne(); break;
    }
  }
  if (IsConstant(Root)) {
    // A negated constant counts with the opposite value.
    const bool value = (Root->symbol == '1') != (Root->negated != 0);
    InsertString(value ? "This formula is valid." : "This formula is not consistent.");
    InsertLine();
    return;
  }
  InsertString("This formula is consistent.Its models can be expressed as DNF:");
  InsertLine();
  XDecomp();
}

// The root node, an operator, becomes the literal 1; its operands are freed.
void FormulaDocument::BecomeConstantOne() {
  RDisposeTree(Root->left);
  RDisposeTree(Root->right);
  *Root = FormulaNode{'1', nkLiteral, 0, nullptr, nullptr};
}

}  // namespace lumenark
