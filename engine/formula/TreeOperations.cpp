#include "formula/TreeOperations.h"

#include <new>
#include <utility>

#include "formula/LetterBits.h"
#include "formula/NodeAllocator.h"
#include "runtime/BudgetAllocator.h"
#include "runtime/Heartbeat.h"
#include "runtime/StackRoom.h"

namespace lumenark {

// Without recursion, so that a tree of any depth is freed whatever stack is left: while
// the node's left operand is an operator, the node is rotated below it; then the node
// and its left literal are freed and the walk goes on with its right operand, which now
// holds everything not yet freed. Literals are never looked into.
void RDisposeTree(Slot slot) {
  FormulaNode* node = slot;
  slot = nullptr;
  while (node != nullptr) {
    FormulaNode* next = nullptr;
    if (!IsLiteral(node)) {
      FormulaNode* left = node->left;
      if (left != nullptr && !IsLiteral(left)) {
        node->left = left->right;
        left->right = node;
        node = left;
        continue;
      }
      FreeNode(left);
      next = node->right;
    }
    FreeNode(node);
    Heartbeat();
    node = next;
  }
}

bool CopyNode(Slot source, Slot target) {
  if (source == nullptr) return true;
  FormulaNode* copy = AllocateNode();
  if (copy == nullptr) return false;
  *copy = *source;
  target = copy;
  return true;
}

void ShCopyNode(Slot source, Slot target) {
  if (source == nullptr || target == nullptr) return;
  *target = *source;
}

// Pre-order, with a stack of its own, so that a tree of any depth is copied: each node
// is allocated before its left and then its right operand, and linked into its parent
// at once, so that a partial copy is a tree with empty operands, which the disposal
// takes. Until then the copy's operand fields are empty, so the source is never shared.
bool RCopyTree(Slot source, Slot target) {
  FormulaNode* root = nullptr;
  try {
    BudgetVector<std::pair<const FormulaNode*, FormulaNode**>> pending{{source, &root}};
    while (!pending.empty()) {
      const auto [from, to] = pending.back();
      pending.pop_back();
      FormulaNode* copy = AllocateNode();
      if (copy == nullptr) {
        if (root != nullptr) RDisposeTree(root);
        return false;
      }
      *copy = *from;
      *to = copy;
      Heartbeat();
      if (!IsLiteral(copy)) {
        copy->left = nullptr;
        copy->right = nullptr;
        if (from->right != nullptr) pending.push_back({from->right, &copy->right});
        if (from->left != nullptr) pending.push_back({from->left, &copy->left});
      }
    }
  } catch (const std::bad_alloc&) {
    if (root != nullptr) RDisposeTree(root);
    return false;
  }
  target = root;
  return true;
}

namespace {

// The search of FindOper: the first node with the symbol, pre-order, left first.
// The found node is unlinked with its subtree and the filler takes its place.
struct OperatorSearch {
  char symbol;
  FormulaNode* found = nullptr;
  FormulaNode* filler = nullptr;

  void Search(Slot slot) {
    StackLevel level;
    if (found != nullptr || !level.Enter()) return;
    FormulaNode* node = slot;
    if (node->symbol == symbol) {
      found = node;
      slot = filler;
      return;
    }
    if (IsLiteral(node)) return;
    if (node->left != nullptr) Search(node->left);
    if (node->right != nullptr) Search(node->right);
  }
};

}  // namespace

void FindOper(Slot slot, char c) {
  FormulaNode* node = slot;
  OperatorSearch search{c};
  search.filler = node->right;
  if (node->left != nullptr) search.Search(node->left);
  if (search.found != nullptr) {
    node->right = node->left;
    node->left = search.found;
    return;
  }
  search.filler = node->left;
  if (node->right != nullptr) search.Search(node->right);
  if (search.found != nullptr) node->left = search.found;
}

void ChangeOper(FormulaNode* node, char c) {
  if (node == nullptr) return;
  node->symbol = c;
  if (std::uint8_t kind = KindOfOperator(c); kind != 0) node->kind = kind;
}

std::uint64_t LettersOfTree(const FormulaNode* root) {
  std::uint64_t letters = 0;
  BudgetVector<const FormulaNode*> pending{root};
  while (!pending.empty()) {
    const FormulaNode* node = pending.back();
    pending.pop_back();
    Heartbeat();
    if (IsLiteral(node)) {
      letters |= LetterBit(node->symbol);
    } else {
      pending.push_back(node->right);
      pending.push_back(node->left);
    }
  }
  return letters;
}

}  // namespace lumenark
