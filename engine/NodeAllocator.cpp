#include "NodeAllocator.h"

#include <atomic>
#include <new>

#include "EngineGlobals.h"

namespace lumenark {
namespace {
std::size_t liveNodes = 0;
std::uint64_t allocations = 0;
std::atomic<std::size_t> freedOffThread{0};
std::uint64_t failAt = 0;  // allocation number that fails; 0 when disarmed
bool failPersistent = false;
}  // namespace

FormulaNode* AllocateNode() {
  ++allocations;
  if (failAt != 0 && allocations >= failAt) {
    if (!failPersistent) failAt = 0;
    MemoryExhausted = true;
    return nullptr;
  }
  FormulaNode* node = new (std::nothrow) FormulaNode{};
  if (node == nullptr) {
    MemoryExhausted = true;
    return nullptr;
  }
  ++liveNodes;
  return node;
}

void FreeNode(FormulaNode* node) {
  if (node == nullptr) return;
  --liveNodes;
  delete node;
}

void FreeNodeOffThread(FormulaNode* node) { delete node; }
void CountNodesFreedOffThread(std::size_t count) { freedOffThread += count; }

std::size_t LiveNodeCount() { return liveNodes - freedOffThread.load(); }
std::uint64_t AllocationCount() { return allocations; }

void ArmAllocationFailure(std::uint64_t n, bool persistent) {
  failAt = n == 0 ? 0 : allocations + n;
  failPersistent = persistent;
}

}  // namespace lumenark
