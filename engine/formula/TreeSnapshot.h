#pragma once
// A tree as bytes, and back: what a browser page keeps of a window's tree to restore it
// in a fresh module (after the page stopped a command by ending its Worker), and what
// the module itself keeps to put a tree back as it was before a command.
//
// The bytes are "LKT1" and then one byte per node in pre-order (an operator before its
// left and its right operand): the node's symbol ('=', '>', '|', '&', a letter, '0' or
// '1'), plus 0x80 when it is negated. Both ways run without recursion, so a tree of any
// depth is fine.

#include <optional>
#include <string>
#include <string_view>

#include "formula/FormulaNode.h"
#include "runtime/BudgetAllocator.h"

namespace lumenark {

inline constexpr std::string_view kTreeSnapshotMagic = "LKT1";

// The bytes of the tree (root may not be empty). Memory counts against the budget
// (std::bad_alloc past it).
BudgetString SaveTree(const FormulaNode* root);

// The tree of the bytes; nothing for bytes that are not a whole tree, or when nodes
// ran out (then MemoryExhausted is set, as by AllocateNode).
std::optional<FormulaNode*> LoadTree(std::string_view bytes);

}  // namespace lumenark
