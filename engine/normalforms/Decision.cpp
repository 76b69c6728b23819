// Decision: the minimal DNF of the formula, and the verdict read from it.

#include <string>

#include "formula/FormulaDocument.h"
#include "formula/LetterBits.h"
#include "formula/TreeOperations.h"
#include "normalforms/ValidityCheck.h"
#include "normalforms/Verdict.h"
#include "runtime/EngineGlobals.h"

namespace lumenark {
namespace {

const char* const kNotConsistent = "This formula is not consistent.";
const char* const kValid = "This formula is valid.";

// "A=1 B=0 ...": the model's value of each of the formula's letters, in letter order.
std::string ModelText(const Verdict& verdict) {
  std::string text;
  for (std::uint64_t rest = verdict.letters; rest != 0; rest &= rest - 1) {
    const std::uint64_t bit = rest & (~rest + 1);
    if (!text.empty()) text += ' ';
    text += LetterOfBit(bit);
    text += (verdict.model & bit) != 0 ? "=1" : "=0";
  }
  return text;
}

// The line below the message "Insuficient memory." and its limit where the rewriting of
// a formula whose verdict is known runs out of memory: the verdict, with a model.
std::string VerdictNote(const Verdict& verdict) {
  switch (verdict.kind) {
    case Verdict::Kind::Consistent:
      return "This formula is consistent (a model: " + ModelText(verdict) +
             "), but rewriting it into its minimal DNF needs more memory than the limit.";
    case Verdict::Kind::NotConsistent:
      return "This formula is not consistent (it has no model), but the rewriting that shows it needs more "
             "memory than the limit.";
    case Verdict::Kind::Valid:
      return "This formula is valid (every assignment is a model), but the rewriting that shows it needs more "
             "memory than the limit.";
    default:
      return {};
  }
}

}  // namespace

void FormulaDocument::Decision() {
  if (Root == nullptr) return;
  if (DecidedBeforeRewriting()) return;
  ToMinimalDNF();
  decisionModel_.reset();
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
// no negated constant where an operator stood). The decision diagram or the SAT solver
// finds these at once (Verdict.h); a consistent formula that is not valid still needs its
// minimal DNF, so it is rewritten. At Details 0 to 3 every formula is rewritten, since the
// text shows the steps. Should the rewriting run out of memory, the message says what is
// known: the verdict, with a model (which also bounds the DNF's size, ProductBound.h). A
// single literal is rewritten at once: it is its own DNF, ~0 and ~1 included. A stop ends
// the decision as it ends the rewriting: without a tree or verdict. The routes only answer
// faster: where their memory cannot be had, the formula is rewritten as before.
bool FormulaDocument::DecidedBeforeRewriting() {
  if (!DecisionBySolver || IsLiteral(Root)) return false;
  const Verdict verdict = FindVerdict(Root, Platform);
  if (verdict.kind == Verdict::Kind::Stopped) {
    DisposeTree();
    return true;
  }
  MemoryNote = VerdictNote(verdict);
  if (verdict.kind == Verdict::Kind::Consistent) decisionModel_ = verdict.model;
  if (DetailLevel != 4) return false;
  switch (verdict.kind) {
    case Verdict::Kind::Unknown:
    case Verdict::Kind::Consistent:
    case Verdict::Kind::Stopped: return false;
    case Verdict::Kind::NotConsistent:
    case Verdict::Kind::Valid: break;
  }
  const bool valid = verdict.kind == Verdict::Kind::Valid;
  BecomeConstant(valid ? '1' : '0');
  InsertString(valid ? kValid : kNotConsistent);
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
