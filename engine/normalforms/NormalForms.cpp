// Conversion into conjunctive or disjunctive normal form. The outer operator O joins
// the clauses ('&' for CNF, '|' for DNF); the inner operator I joins the literals of a
// clause. On the way the literals of every clause are sorted by letter, a letter that
// occurs twice in a clause is reduced by IdCom, and the constants this produces are
// evaluated away.
//
// Chain and elements: the chain of a node is the node and every operator node reached
// from it through nodes of the same symbol; its elements are the operands hanging from
// the chain that are not chain nodes, in left-to-right order.

#include <algorithm>
#include <vector>

#include "formula/FormulaDocument.h"
#include "formula/TreeOperations.h"
#include "normalforms/ChainProduct.h"
#include "runtime/BudgetAllocator.h"
#include "runtime/EngineGlobals.h"
#include "runtime/Heartbeat.h"
#include "runtime/StackRoom.h"

namespace lumenark {
namespace {

// The literal elements of the chain of the given symbol below node, left to right.
// Elements of another operator are neither entered nor collected.
void CollectLiteralElements(FormulaNode* node, char symbol, BudgetVector<FormulaNode*>& out) {
  StackLevel level;
  if (!level.Enter()) return;
  Heartbeat();
  if (IsLiteral(node)) {
    out.push_back(node);
  } else if (node->symbol == symbol) {
    CollectLiteralElements(node->left, symbol, out);
    CollectLiteralElements(node->right, symbol, out);
  }
}

}  // namespace

void FormulaDocument::Exchange(Slot a, Slot b) { std::swap(*a, *b); }

// The order is that of a bubble sort that exchanges neighbouring literal elements
// (across other elements) only when the left symbol is strictly greater: a stable
// sort by unsigned character code, so 'A' and '~A' keep their order. The contents of
// the nodes move; the nodes stay where they are, so the tree's shape never changes.
void FormulaDocument::SortElm(Slot slot) {
  BudgetVector<FormulaNode*> positions;
  CollectLiteralElements(slot, slot->symbol, positions);
  BudgetVector<FormulaNode> contents;
  contents.reserve(positions.size());
  for (const FormulaNode* literal : positions) contents.push_back(*literal);
  std::stable_sort(contents.begin(), contents.end(), [](const FormulaNode& a, const FormulaNode& b) {
    return static_cast<unsigned char>(a.symbol) < static_cast<unsigned char>(b.symbol);
  });
  for (std::size_t i = 0; i < positions.size(); ++i) *positions[i] = contents[i];
}

// One left-to-right walk over the chain: each literal element is offered to IdCom with
// the literal element before it. Run after SortElm, every repeated letter is reduced.
void FormulaDocument::ReduceElm(Slot slot) {
  FormulaNode* chain = slot;
  FormulaNode* previous = nullptr;
  auto walk = [&](auto& self, Slot at) -> void {
    StackLevel level;
    if (StopRequested || !level.Enter()) return;
    FormulaNode* node = at;
    if (node->symbol != chain->symbol && !IsLiteral(node)) return;
    if (IsLiteral(node)) {
      if (previous != nullptr) IdCom(previous, at, slot);
      previous = node;
    } else {
      self(self, node->left);
      self(self, node->right);
    }
  };
  walk(walk, slot);
}

// Pre-order for the distribution (a node is distributed before its operands are
// visited, so the new inner nodes a distribution creates are distributed in turn),
// post-order for the constant evaluation.
void FormulaDocument::RToNormalForm(Slot slot, char outer) {
  FormulaNode* node = slot;
  StackLevel level;
  if (IsLiteral(node) || StopRequested || !level.Enter()) return;
  // The descent distributes node after node before any of them returns, copying as it
  // goes; pending input is processed on the way down too, so Stop is seen in time.
  Platform.ProcessPendingInput();
  if (node->symbol != outer) {
    FindOper(slot, outer);
    if (node->left->symbol != outer) {
      // The inner chain holds no outer element: it is a clause.
      SortElm(slot);
      ReduceElm(slot);
      SortSubClauses(node);
      Platform.ProcessPendingInput();
      return;
    }
    if (WritesNoSteps()) {
      // Nothing of the distribution is shown: the chain is multiplied out directly into
      // the same result. At the root the outer node's own evaluation waits for the
      // final sort, as it does here.
      const bool root = &slot == &Root;
      if (MultiplyOutChain(slot, outer, root, Platform) != ProductOutcome::Unsupported) return;
    }
    Distribution(node->left, slot);
  }
  RToNormalForm(node->left, outer);
  RToNormalForm(node->right, outer);
  if (node->symbol == outer) {
    ConstEvalConverted(node->left, outer);
    ConstEvalConverted(node->right, outer);
  }
  Platform.ProcessPendingInput();
}

// The operands of a clause are visited as clauses of their own and sorted again. The
// reduction has just turned literals into constants in their places, so the clause's
// two halves may be out of order; once each half is sorted, every stretch below it is
// sorted already, and no letter is left twice to reduce. So sorting the two halves is
// all that the visits below the clause change.
void FormulaDocument::SortSubClauses(FormulaNode* clause) {
  if (StopRequested) return;
  if (!IsLiteral(clause->left)) SortElm(clause->left);
  if (!IsLiteral(clause->right)) SortElm(clause->right);
}

// RConstEval on an operand that RToNormalForm has just converted. An outer node's own
// conversion evaluated both of its operands completely (nothing stops a conversion
// halfway without StopRequested staying set), so a second walk over them could find no
// constant: only the node itself is left to evaluate.
void FormulaDocument::ConstEvalConverted(Slot slot, char outer) {
  FormulaNode* node = slot;
  if (IsLiteral(node) || node->symbol != outer || StopRequested) {
    RConstEval(slot);
    return;
  }
  Platform.ProcessPendingInput();
  EvlConst1(slot);
}

// At Details 3 and 4 no step of a conversion is written.
bool FormulaDocument::WritesNoSteps() const { return DetailLevel >= 3 && !StepByStepNormalForms; }

// The constant evaluation after the final sort and reduction when the conversion writes
// no step. The worker has evaluated every operand of the outer chain's top node, so the
// only constants left are literal elements of the outer chain: its top node's own
// operands, and the unit clauses that the reduction has just turned into constants. A
// walk over the outer chain's nodes, operands first, evaluates them as the whole pass
// would; the clauses hold no constant and are not entered. A formula that is a single
// clause has not been evaluated at all and gets the whole pass.
void FormulaDocument::ConstEvalOuterChain(Slot slot, char outer) {
  FormulaNode* node = slot;
  StackLevel level;
  if (IsLiteral(node) || StopRequested || !level.Enter()) return;
  if (node->symbol != outer) {
    RConstEval(slot);
    return;
  }
  Platform.ProcessPendingInput();
  if (!IsLiteral(node->left) && node->left->symbol == outer) ConstEvalOuterChain(node->left, outer);
  if (!IsLiteral(node->right) && node->right->symbol == outer) ConstEvalOuterChain(node->right, outer);
  EvlConst1(slot);
}

void FormulaDocument::RToCNF(Slot slot) { RToNormalForm(slot, CNFOper); }
void FormulaDocument::RToDNF(Slot slot) { RToNormalForm(slot, DNFOper); }

void FormulaDocument::ConvertToNormalForm(char outer, const char* resultComment) {
  if (Root == nullptr) return;
  ToConDis();
  ConstEval();
  MultiplyToNormalForm(outer, resultComment);
}

// The conversion after the literal form and its constant evaluation.
void FormulaDocument::MultiplyToNormalForm(char outer, const char* resultComment) {
  RToNormalForm(Root, outer);
  if (StopRequested) {
    // A conversion stopped halfway is of no use: it is discarded.
    DisposeTree();
    return;
  }
  // Orders and reduces the literal elements of the outer chain: the unit clauses of a
  // CNF, or the literals of a formula that is a single clause.
  SortElm(Root);
  ReduceElm(Root);
  if (WritesNoSteps()) ConstEvalOuterChain(Root, outer);
  else ConstEval();
  ReportResult(resultComment);
}

void FormulaDocument::ToCNF() { ConvertToNormalForm(CNFOper, "Result - Conversion to CNF:"); }
void FormulaDocument::ToDNF() { ConvertToNormalForm(DNFOper, "Result - Conversion to DNF:"); }

}  // namespace lumenark
