#pragma once
// Nodes come from a pool of the engine's own: 24-byte records cut from 2 MiB chunks, where
// the general memory manager would spend 32 bytes on each and take longer. Every chunk is
// counted against the memory budget (runtime/MemoryBudget.h); a chunk the budget refuses is
// exhausted memory. Every allocation and release goes through here so that exhausted
// memory is seen at one place, tests can count live nodes (no leak) and can make the n-th
// allocation fail (fault injection).
//
// Nodes are allocated and freed on one thread, the engine's. The disposer thread frees
// whole trees into batches of its own and hands each batch back at once. Chunks that
// hold no live node any more are given back to the system by ReleaseFreeNodeMemory.
//
// Under AddressSanitizer every node is an allocation of its own, so that the sanitizer
// sees each one freed and used after free.

#include <cstddef>
#include <cstdint>

#include "formula/FormulaNode.h"

namespace lumenark {

// A fresh node with all fields zero, or nullptr when memory is exhausted (or a test
// armed a failure). A failure also sets MemoryExhausted.
FormulaNode* AllocateNode();
// Returns one node to the pool; nullptr is ignored.
void FreeNode(FormulaNode* node);

// For the disposer thread: the nodes it frees are collected here and handed back to the
// engine's thread in one step when the batch is flushed (or destroyed).
class FreedNodeBatch {
 public:
  FreedNodeBatch() = default;
  ~FreedNodeBatch() { Flush(); }
  FreedNodeBatch(const FreedNodeBatch&) = delete;
  FreedNodeBatch& operator=(const FreedNodeBatch&) = delete;

  void Add(FormulaNode* node);
  void Flush();

 private:
  FormulaNode* first_ = nullptr;
  FormulaNode* last_ = nullptr;
  std::size_t count_ = 0;
};

// Gives the chunks without a live node back to the system, when enough is free to be
// worth a walk over the pool, and what the general memory manager holds free. Engine
// thread only. A charge that would pass the budget does the same first.
void ReleaseFreeNodeMemory();

// Bytes of node memory taken from the system, and of it the bytes of free nodes.
std::size_t NodeMemoryBytes();
std::size_t FreeNodeMemoryBytes();

// Nodes allocated and not yet freed, over the whole program.
std::size_t LiveNodeCount();
// Allocations attempted so far, successful or not.
std::uint64_t AllocationCount();

// Makes the n-th allocation from now fail (n = 1: the next one). With persistent set,
// every allocation after it fails too, as when memory is really exhausted. n = 0 disarms.
void ArmAllocationFailure(std::uint64_t n, bool persistent = false);

}  // namespace lumenark
