// The connective conversions. Three local rules rewrite the operator at one node into
// a target connective by the laws of propositional logic; the node stays in its slot,
// operands are rearranged and toggled (their negated flag flipped, so a double
// negation cancels at once). Only equivalences need new nodes: both operands are
// deep-copied, the operands themselves go into the new left node in their order and
// the copies into the new right node in swapped order.

#include "formula/FormulaDocument.h"
#include "formula/NodeAllocator.h"
#include "formula/TreeOperations.h"
#include "runtime/BudgetAllocator.h"
#include "runtime/EngineGlobals.h"

namespace lumenark {
namespace {

void Toggle(FormulaNode* node) { node->negated ^= 1; }

// The material of an equivalence rule: copies L' and R' and two fresh operator nodes.
// Either everything is allocated or nothing is kept and memory counts as exhausted.
struct EquivalenceParts {
  FormulaNode* leftCopy = nullptr;
  FormulaNode* rightCopy = nullptr;
  FormulaNode* first = nullptr;
  FormulaNode* second = nullptr;

  bool Allocate(FormulaNode* node) {
    if (RCopyTree(node->left, leftCopy) && RCopyTree(node->right, rightCopy)) {
      first = AllocateNode();
      second = first != nullptr ? AllocateNode() : nullptr;
      if (second != nullptr) return true;
    }
    if (leftCopy != nullptr) RDisposeTree(leftCopy);
    if (rightCopy != nullptr) RDisposeTree(rightCopy);
    FreeNode(first);
    StopForExhaustedMemory();
    return false;
  }
};

// Rewrites the equivalence node into op over two new nodes with the given operands
// and flags.
void SetOperands(FormulaNode* node, char op, FormulaNode* first, FormulaNode* firstLeft,
                 FormulaNode* firstRight, FormulaNode* second, FormulaNode* secondLeft,
                 FormulaNode* secondRight, std::uint8_t firstNegated, std::uint8_t secondNegated) {
  *first = FormulaNode{op, KindOfOperator(op), firstNegated, firstLeft, firstRight};
  *second = FormulaNode{op, KindOfOperator(op), secondNegated, secondLeft, secondRight};
  ChangeOper(node, op);
  node->left = first;
  node->right = second;
}

}  // namespace

void FormulaDocument::Implication(Slot slot) {
  FormulaNode* n = slot;
  if (n == nullptr || IsLiteral(n)) return;
  FormulaNode* l = n->left;
  FormulaNode* r = n->right;
  switch (n->symbol) {
    case '=': {  // L=R becomes ~((L>R)>~(R'>L'))
      EquivalenceParts p;
      if (!p.Allocate(n)) return;
      SetOperands(n, '>', p.first, l, r, p.second, p.rightCopy, p.leftCopy, 0, 1);
      Toggle(n);
      ReportRule("Equivalence to implication:");
      return;
    }
    case '&':  // L&R becomes ~(L>~R)
      ChangeOper(n, '>');
      Toggle(n);
      Toggle(r);
      ReportRule("Conjunction to implication:");
      return;
    case '|':  // L|R becomes ~L>R
      ChangeOper(n, '>');
      Toggle(l);
      ReportRule("Disjunction to implication:");
      return;
    default:
      return;
  }
}

void FormulaDocument::Disjunction(Slot slot) {
  FormulaNode* n = slot;
  if (n == nullptr || IsLiteral(n)) return;
  FormulaNode* l = n->left;
  FormulaNode* r = n->right;
  switch (n->symbol) {
    case '=': {
      EquivalenceParts p;
      if (!p.Allocate(n)) return;
      if (n->negated) {  // ~(L=R) becomes ~(~L|R)|~(~R'|L')
        SetOperands(n, '|', p.first, l, r, p.second, p.rightCopy, p.leftCopy, 1, 1);
        Toggle(n);
        Toggle(l);
        Toggle(p.rightCopy);
      } else {  // L=R becomes ~(L|R)|~(~R'|~L')
        SetOperands(n, '|', p.first, l, r, p.second, p.rightCopy, p.leftCopy, 1, 1);
        Toggle(p.rightCopy);
        Toggle(p.leftCopy);
      }
      ReportRule("Equivalence to disjunction:");
      return;
    }
    case '&':  // L&R becomes ~(~L|~R)
      ChangeOper(n, '|');
      Toggle(n);
      Toggle(r);
      Toggle(l);
      ReportRule("Conjunction to disjunction:");
      return;
    case '>':  // L>R becomes ~L|R
      ChangeOper(n, '|');
      Toggle(l);
      ReportRule("Implication to disjunction:");
      return;
    default:
      return;
  }
}

void FormulaDocument::Conjunction(Slot slot) {
  FormulaNode* n = slot;
  if (n == nullptr || IsLiteral(n)) return;
  FormulaNode* l = n->left;
  FormulaNode* r = n->right;
  switch (n->symbol) {
    case '=': {
      EquivalenceParts p;
      if (!p.Allocate(n)) return;
      if (n->negated) {  // ~(L=R) becomes ~(~L&~R)&~(R'&L')
        SetOperands(n, '&', p.first, l, r, p.second, p.rightCopy, p.leftCopy, 1, 1);
        Toggle(n);
        Toggle(l);
        Toggle(r);
      } else {  // L=R becomes ~(L&~R)&~(R'&~L')
        SetOperands(n, '&', p.first, l, r, p.second, p.rightCopy, p.leftCopy, 1, 1);
        Toggle(r);
        Toggle(p.leftCopy);
      }
      ReportRule("Equivalence to conjunction:");
      return;
    }
    case '|':  // L|R becomes ~(~L&~R)
      ChangeOper(n, '&');
      Toggle(n);
      Toggle(r);
      Toggle(l);
      ReportRule("Disjunction to conjunction:");
      return;
    case '>':  // L>R becomes ~(L&~R)
      ChangeOper(n, '&');
      Toggle(n);
      Toggle(r);
      ReportRule("Implication to conjunction:");
      return;
    default:
      return;
  }
}

namespace {

// The workers are pre-order: a node is rewritten before its operands are visited, so
// the new nodes of an equivalence rule and the copies below them are converted too.
// They keep a stack of their own, so a tree of any depth is converted. A stop is seen
// as each operator is reached. The operand fields a node has after its rule are taken:
// rewriting the left operand's subtree changes neither the node nor its right field.
template <typename Rule>
void RewritePreOrder(Slot slot, Host& platform, Rule rule) {
  BudgetVector<FormulaNode**> pending{&slot};
  while (!pending.empty()) {
    FormulaNode** at = pending.back();
    pending.pop_back();
    if (IsLiteral(*at) || StopRequested) continue;
    platform.ProcessPendingInput();
    rule(*at);
    pending.push_back(&(*at)->right);
    pending.push_back(&(*at)->left);
  }
}

}  // namespace

void FormulaDocument::RToImp(Slot slot) {
  RewritePreOrder(slot, Platform, [this](Slot at) { Implication(at); });
}

void FormulaDocument::RToDis(Slot slot) {
  RewritePreOrder(slot, Platform, [this](Slot at) { Disjunction(at); });
}

void FormulaDocument::RToCon(Slot slot) {
  RewritePreOrder(slot, Platform, [this](Slot at) { Conjunction(at); });
}

// A negated node, or one that is neither '&' nor '|', goes through Conjunction; a node
// that is negated after that goes through Disjunction, which pushes the negation down.
void FormulaDocument::RToConDis(Slot slot) {
  RewritePreOrder(slot, Platform, [this](Slot at) {
    if (at->negated || !IsAndOr(at->symbol)) Conjunction(at);
    if (at->negated) Disjunction(at);
  });
}

void FormulaDocument::ToImp() {
  if (Root == nullptr) return;
  RToImp(Root);
  ReportResult("Result - Global conversion to implication:");
}

void FormulaDocument::ToDis() {
  if (Root == nullptr) return;
  RToDis(Root);
  ReportResult("Result - Global conversion to disjunctions:");
}

void FormulaDocument::ToCon() {
  if (Root == nullptr) return;
  RToCon(Root);
  ReportResult("Result - Global conversion to conjunctions:");
}

void FormulaDocument::ToConDis() {
  if (Root == nullptr) return;
  RToConDis(Root);
  ReportResult("Result - Global conversion to literal form:");
}

}  // namespace lumenark
