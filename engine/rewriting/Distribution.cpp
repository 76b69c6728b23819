// Distribution, idempotence and complementarity: the local rules of the normal forms.

#include "formula/FormulaDocument.h"
#include "formula/NodeAllocator.h"
#include "formula/TreeOperations.h"
#include "runtime/EngineGlobals.h"

namespace lumenark {

// (A i B) o R becomes (A o R') i (B o R): the copy of R goes into the left product,
// R itself into the right one. N stays in its slot and now carries i; M stays its
// left operand and now carries o. The negated flags of N and M are not looked at.
void FormulaDocument::Distribution(Slot leftSlot, Slot nodeSlot) {
  FormulaNode* m = leftSlot;
  FormulaNode* n = nodeSlot;
  if (m == nullptr || n == nullptr || !IsAndOr(m->symbol) || !IsAndOr(n->symbol)) return;
  FormulaNode* r = n->right;
  FormulaNode* rightCopy = nullptr;
  if (!RCopyTree(r, rightCopy)) {
    StopForExhaustedMemory();
    return;
  }
  FormulaNode* product = AllocateNode();
  if (product == nullptr) {
    RDisposeTree(rightCopy);
    StopForExhaustedMemory();
    return;
  }
  const char outer = n->symbol;
  const char inner = m->symbol;
  ChangeOper(n, inner);
  ChangeOper(m, outer);
  FormulaNode* b = m->right;
  m->right = rightCopy;
  *product = FormulaNode{outer, KindOfOperator(outer), 0, b, r};
  n->right = product;
  ReportRule("Distribution:");
}

// Two literals of one chain with the same letter: with the same sign the first becomes
// the constant the chain's operator ignores; with opposite signs the constant that
// decides the chain. The caller's constant evaluation then removes it.
void FormulaDocument::IdCom(Slot first, Slot second, Slot chain) {
  FormulaNode* p = first;
  FormulaNode* q = second;
  if (p == nullptr || q == nullptr || !IsVariableLiteral(p) || !IsVariableLiteral(q) ||
      p->symbol != q->symbol) {
    return;
  }
  const char op = chain->symbol;
  const char* comment;
  if (p->negated == q->negated) {
    if (op == '&') p->symbol = '1';
    else if (op == '|') p->symbol = '0';
    comment = "Idempotention:";
  } else {
    if (op == '&') p->symbol = '0';
    else if (op == '|') p->symbol = '1';
    comment = "Complementarity:";
  }
  p->negated = 0;
  ReportRule(comment);
}

}  // namespace lumenark
