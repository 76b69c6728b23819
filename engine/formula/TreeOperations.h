#pragma once
// The small set of tree operations the whole engine shares. All of them recurse
// along the tree, so deep trees must be handled on the engine stack (runtime/EngineStack.h).

#include <cstdint>

#include "formula/FormulaNode.h"

namespace lumenark {

// Frees the node in the slot and, unless it is a literal, first its left and then its
// right subtree. A literal is freed alone, whatever its links hold. Requires a node.
// The slot is empty afterwards.
void RDisposeTree(Slot slot);

// A new node with the five fields of the node in source (operands shared, not copied)
// is put into target. Nothing happens for an empty source. The former content of
// target is not freed. Returns false, target unchanged, when no node could be allocated.
bool CopyNode(Slot source, Slot target);

// Overwrites the five fields of the node in target with those of the node in source.
// Nothing happens if either slot is empty; nothing is allocated or freed.
void ShCopyNode(Slot source, Slot target);

// Sets target to a deep copy of the subtree in source (requires a node). Literals are
// copied as single nodes with their link values as they are. The former content of
// target is not freed. Returns false when memory ran out: the partial copy is freed
// and target is left unchanged.
bool RCopyTree(Slot source, Slot target);

// Moves the first node whose symbol is c (pre-order, left operand first) into the
// left of the operator node in the slot, re-associating the tree. The slot's node is
// never a candidate; literals are not searched. On a chain of one associative
// operator this keeps the formula equivalent. Nothing changes if there is no such node.
void FindOper(Slot slot, char c);

// Sets the node's symbol to c and, for an operator character, its kind to match.
// negated and the operands are untouched. Nothing happens for an empty reference.
void ChangeOper(FormulaNode* node, char c);

// The letters of the tree as a set (formula/LetterBits.h), without recursion.
std::uint64_t LettersOfTree(const FormulaNode* root);

}  // namespace lumenark
