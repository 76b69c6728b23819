// Decision: the minimal DNF of the formula, and the verdict read from it.

#include "formula/FormulaDocument.h"
#include "formula/TreeOperations.h"
#include "normalforms/ValidityCheck.h"
#include "runtime/EngineGlobals.h"
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
// A single literal is rewritten too: it is its own DNF, ~0 and ~1 included. A stop ends
// the decision as it ends the rewriting: without a tree or verdict. The solver only
// answers faster: where its memory cannot be had, the formula is rewritten as before.
bool FormulaDocument::DecidedBySolver() {
  if (!DecisionBySolver || DetailLevel != 4 || IsLiteral(Root)) return false;
  const SolverVerdict verdict = AskSolver();
  switch (verdict) {
    case SolverVerdict::Rewrite: return false;
    case SolverVerdict::Stopped: DisposeTree(); return true;
    case SolverVerdict::NotConsistent:
    case SolverVerdict::Valid: break;
  }
  const bool valid = verdict == SolverVerdict::Valid;
  BecomeConstant(valid ? '1' : '0');
  InsertString(valid ? kValid : kNotConsistent);
  InsertLine();
  return true;
}

// The solver and its memory are gone when this returns, before any rewriting.
FormulaDocument::SolverVerdict FormulaDocument::AskSolver() {
  FormulaSat sat(Platform, FormulaSat::Refusal::EndsSolver);
  const int formula = sat.Encode(Root);
  SatAnswer answer = formula == 0 ? SatAnswer::Stopped : sat.Solve({formula});
  if (answer == SatAnswer::Unsatisfiable) return SolverVerdict::NotConsistent;
  if (answer == SatAnswer::Satisfiable) answer = sat.Solve({-formula});
  if (answer == SatAnswer::Unsatisfiable) return SolverVerdict::Valid;
  if (answer == SatAnswer::Satisfiable || sat.OutOfMemory()) return SolverVerdict::Rewrite;
  return SolverVerdict::Stopped;
}

// The root node, an operator, becomes the constant; its operands are freed.
void FormulaDocument::BecomeConstant(char constant) {
  RDisposeTree(Root->left);
  RDisposeTree(Root->right);
  *Root = FormulaNode{constant, nkLiteral, 0, nullptr, nullptr};
}

}  // namespace lumenark
