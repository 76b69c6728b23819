// Decision: the minimal DNF of the formula, and the verdict read from it.

#include "EngineGlobals.h"
#include "FormulaDocument.h"
#include "TreeOperations.h"
#include "ValidityCheck.h"
#include "sat/FormulaSat.h"

namespace lumenark {
namespace {

const char* const kNotConsistent = "This formula is not consistent.";
const char* const kValid = "This formula is valid.";

}  // namespace

void FormulaDocument::Decision() {
  if (Root == nullptr) return;
  if (DecidedBySolver()) return;
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
      case Validity::Valid: BecomeConstant('1'); break;
    }
  }
  if (IsConstant(Root)) {
    // A negated constant counts with the opposite value.
    const bool value = (Root->symbol == '1') != (Root->negated != 0);
    InsertString(value ? kValid : kNotConsistent);
    InsertLine();
    return;
  }
  InsertString("This formula is consistent.Its models can be expressed as DNF:");
  InsertLine();
  XDecomp();
}

// Where Details 4 writes no step, the verdict of an inconsistent or a valid formula is one
// line, and the rewriting would end in the constant 0 or 1 (the constant evaluation leaves
// no negated constant where an operator stood). The SAT solver finds these at once; a
// consistent formula that is not valid still needs its minimal DNF, so it is rewritten.
// A single literal is rewritten too: it is its own DNF, ~0 and ~1 included. A stop or
// exhausted memory ends the decision as it ends the rewriting: without a tree or verdict.
bool FormulaDocument::DecidedBySolver() {
  if (!DecisionBySolver || DetailLevel != 4 || IsLiteral(Root)) return false;
  FormulaSat sat(Platform);
  const int formula = sat.Encode(Root);
  SatAnswer answer = formula == 0 ? SatAnswer::Stopped : sat.Solve({formula});
  const char* verdict = kNotConsistent;
  if (answer == SatAnswer::Satisfiable) {
    answer = sat.Solve({-formula});
    if (answer == SatAnswer::Satisfiable) return false;
    verdict = kValid;
  }
  if (answer == SatAnswer::Stopped) {
    DisposeTree();
    return true;
  }
  BecomeConstant(verdict == kValid ? '1' : '0');
  InsertString(verdict);
  InsertLine();
  return true;
}

// The root node, an operator, becomes the constant; its operands are freed.
void FormulaDocument::BecomeConstant(char constant) {
  RDisposeTree(Root->left);
  RDisposeTree(Root->right);
  *Root = FormulaNode{constant, nkLiteral, 0, nullptr, nullptr};
}

}  // namespace lumenark
