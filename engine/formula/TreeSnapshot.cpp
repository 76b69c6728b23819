#include "formula/TreeSnapshot.h"

#include <new>

#include "formula/NodeAllocator.h"
#include "formula/TreeOperations.h"

namespace lumenark {
namespace {

constexpr unsigned char kNegated = 0x80;

bool IsLiteralSymbol(char c) {
  return IsConstantSymbol(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

BudgetString SaveTree(const FormulaNode* root) {
  BudgetString bytes(kTreeSnapshotMagic);
  BudgetVector<const FormulaNode*> pending{root};
  while (!pending.empty()) {
    const FormulaNode* node = pending.back();
    pending.pop_back();
    bytes.push_back(static_cast<char>(static_cast<unsigned char>(node->symbol) | (node->negated ? kNegated : 0)));
    if (!IsLiteral(node)) {
      pending.push_back(node->right);
      pending.push_back(node->left);
    }
  }
  return bytes;
}

std::optional<FormulaNode*> LoadTree(std::string_view bytes) {
  if (!bytes.starts_with(kTreeSnapshotMagic) || bytes.size() == kTreeSnapshotMagic.size()) return std::nullopt;
  bytes.remove_prefix(kTreeSnapshotMagic.size());
  FormulaNode* root = nullptr;
  // The slots still to be filled, the next one last: an operator's right slot waits
  // below its left one.
  BudgetVector<FormulaNode**> open{&root};
  // A partial tree has empty slots, which the disposal passes over.
  auto discard = [&root]() -> std::optional<FormulaNode*> {
    if (root != nullptr) RDisposeTree(root);
    return std::nullopt;
  };
  try {
    for (const char byte : bytes) {
      if (open.empty()) return discard();
      const char symbol = static_cast<char>(static_cast<unsigned char>(byte) & ~kNegated);
      const std::uint8_t kind = IsLiteralSymbol(symbol) ? std::uint8_t{nkLiteral} : KindOfOperator(symbol);
      if (kind == 0) return discard();
      FormulaNode* node = AllocateNode();
      if (node == nullptr) return discard();
      node->symbol = symbol;
      node->kind = kind;
      node->negated = (static_cast<unsigned char>(byte) & kNegated) != 0;
      FormulaNode** slot = open.back();
      open.pop_back();
      *slot = node;
      if (kind != nkLiteral) {
        open.push_back(&node->right);
        open.push_back(&node->left);
      }
    }
  } catch (const std::bad_alloc&) {
    discard();
    throw;
  }
  if (!open.empty()) return discard();
  return root;
}

}  // namespace lumenark
