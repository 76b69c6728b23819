// Constant evaluation: every operator node with a constant operand is replaced, in
// place, by the simpler equivalent subtree, bottom-up, so that afterwards the formula
// holds no constant at all or is a single literal.

#include "formula/FormulaDocument.h"
#include "formula/NodeAllocator.h"
#include "formula/TreeOperations.h"
#include "runtime/BudgetAllocator.h"
#include "runtime/EngineGlobals.h"

namespace lumenark {
namespace {

char Flipped(char constant) { return constant == '0' ? '1' : '0'; }

}  // namespace

void FormulaDocument::EvlConst1(Slot slot) {
  FormulaNode* node = slot;
  if (node == nullptr || IsLiteral(node)) return;

  // The constant operand C and the other operand X; a constant on the left wins.
  FormulaNode* constant;
  FormulaNode* other;
  bool constantOnLeft;
  if (IsConstant(node->left)) {
    constant = node->left, other = node->right, constantOnLeft = true;
  } else if (IsConstant(node->right)) {
    constant = node->right, other = node->left, constantOnLeft = false;
  } else {
    return;
  }
  if (constant->negated) {
    constant->negated = 0;
    constant->symbol = Flipped(constant->symbol);
  }
  const char op = node->symbol;
  const bool wasNegated = node->negated != 0;
  FreeNode(node);

  const bool isTrue = constant->symbol == '1';
  FormulaNode* result;
  auto keepOther = [&] { result = other; FreeNode(constant); };
  auto keepConstant = [&] { result = constant; RDisposeTree(other); };
  switch (op) {
    case '&':
      isTrue ? keepOther() : keepConstant();
      break;
    case '|':
      isTrue ? keepConstant() : keepOther();
      break;
    case '=':
      keepOther();
      if (!isTrue) result->negated ^= 1;
      break;
    case '>':
      if (constantOnLeft) {
        if (isTrue) {
          keepOther();
        } else {
          keepConstant();  // 0 > X is true
          result->symbol = '1';
        }
      } else if (isTrue) {
        keepConstant();  // X > 1 is true
      } else {
        keepOther();  // X > 0 is ~X
        result->negated ^= 1;
      }
      break;
    default:  // not an operator of a well-formed tree: keep the other operand
      keepOther();
      break;
  }
  slot = result;
  if (wasNegated) result->negated ^= 1;
  if (IsConstant(result) && result->negated) {
    result->symbol = Flipped(result->symbol);
    result->negated = 0;
  }
  if (DetailLevel == 0) {
    InsertString("Constant evaluation:");
    XDecomp();
  }
}

// Post-order, so an operand that has just collapsed into a constant is seen as one by
// its parent in the same pass. The stop is tested on entry only; the steps of the
// calls already under way still run. With a stack of its own, for a tree of any depth:
// a node's right field is taken once its left operand is done, which changes only the
// node's left field.
void FormulaDocument::RConstEval(Slot slot) {
  struct Step {
    FormulaNode** at;
    bool operandsDone;
  };
  BudgetVector<Step> pending{{&slot, false}};
  while (!pending.empty()) {
    Step& step = pending.back();
    FormulaNode** at = step.at;
    if (step.operandsDone) {
      pending.pop_back();
      Platform.ProcessPendingInput();
      EvlConst1(*at);
      continue;
    }
    if (IsLiteral(*at) || StopRequested) {
      pending.pop_back();
      continue;
    }
    Platform.ProcessPendingInput();
    step.operandsDone = true;
    pending.push_back({&(*at)->right, false});
    pending.push_back({&(*at)->left, false});
  }
}

void FormulaDocument::ConstEval() {
  if (Root != nullptr) RConstEval(Root);
}

}  // namespace lumenark
