#include "TreeOperations.h"

#include "Heartbeat.h"
#include "NodeAllocator.h"

namespace lumenark {

void RDisposeTree(Slot slot) {
  FormulaNode* node = slot;
  if (!IsLiteral(node)) {
    if (node->left != nullptr) RDisposeTree(node->left);
    if (node->right != nullptr) RDisposeTree(node->right);
  }
  FreeNode(node);
  slot = nullptr;
  Heartbeat();
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

bool RCopyTree(Slot source, Slot target) {
  FormulaNode* copy = nullptr;
  if (!CopyNode(source, copy)) return false;
  Heartbeat();
  if (!IsLiteral(copy)) {
    // Until its operand is copied, a field must not share the source's subtree, or
    // freeing a partial copy would free the source too.
    FormulaNode* left = copy->left;
    FormulaNode* right = copy->right;
    copy->left = nullptr;
    copy->right = nullptr;
    if ((left != nullptr && !RCopyTree(left, copy->left)) ||
        (right != nullptr && !RCopyTree(right, copy->right))) {
      RDisposeTree(copy);
      return false;
    }
  }
  target = copy;
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
    if (found != nullptr) return;
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

}  // namespace lumenark
