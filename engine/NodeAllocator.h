#pragma once
// Nodes come from the general memory manager one at a time. Every allocation and
// release goes through here so that exhausted memory is seen at one place, tests can
// count live nodes (no leak) and can make the n-th allocation fail (fault injection).

#include <cstddef>
#include <cstdint>

#include "FormulaNode.h"

namespace lumenark {

// A fresh node with all fields zero, or nullptr when memory is exhausted (or a test
// armed a failure). A failure also sets MemoryExhausted.
FormulaNode* AllocateNode();
// Returns one node to the memory manager; nullptr is ignored.
void FreeNode(FormulaNode* node);

// For the disposer thread: frees a node without touching the user-interface thread's
// counts, then reports how many it freed.
void FreeNodeOffThread(FormulaNode* node);
void CountNodesFreedOffThread(std::size_t count);

// Nodes allocated and not yet freed, over the whole program.
std::size_t LiveNodeCount();
// Allocations attempted so far, successful or not.
std::uint64_t AllocationCount();

// Makes the n-th allocation from now fail (n = 1: the next one). With persistent set,
// every allocation after it fails too, as when memory is really exhausted. n = 0 disarms.
void ArmAllocationFailure(std::uint64_t n, bool persistent = false);

}  // namespace lumenark
