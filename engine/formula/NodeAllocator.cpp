#include "formula/NodeAllocator.h"

#include <sys/mman.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <new>
#include <vector>

#include "runtime/AddressSanitizer.h"
#include "runtime/EngineGlobals.h"
#include "runtime/MemoryBudget.h"
#include "runtime/SystemHeap.h"

namespace lumenark {
namespace {

std::size_t liveNodes = 0;
std::uint64_t allocations = 0;
std::atomic<std::size_t> freedOffThread{0};
std::uint64_t failAt = 0;  // allocation number that fails; 0 when disarmed
bool failPersistent = false;

// Past this much free memory a walk over the pool is worth its time.
constexpr std::size_t kWorthReleasing = std::size_t{64} << 20;
constexpr std::size_t kChunkBytesForReclaim = std::size_t{2} << 20;

bool FailureArmed() {
  if (failAt == 0 || allocations < failAt) return false;
  if (!failPersistent) failAt = 0;
  return true;
}

#ifdef LUMENARK_ASAN
// What one node takes under the sanitizer: its allocator's block for 24 bytes with their
// redzone (48 bytes) and the shadow of that block (6 bytes), so that the budget holds
// the sanitizer build's resident size too.
constexpr std::size_t kNodeCost = 56;

FormulaNode* TakeNode() {
  if (!ChargeMemory(kNodeCost)) return nullptr;
  FormulaNode* node = new (std::nothrow) FormulaNode{};
  if (node == nullptr) ReleaseMemory(kNodeCost);
  return node;
}

void GiveNode(FormulaNode* node) {
  delete node;
  ReleaseMemory(kNodeCost);
}

void ReleaseChunks(std::size_t) {}
std::size_t PoolBytes() { return 0; }
std::size_t PoolFreeBytes() { return 0; }

#else
constexpr std::size_t kChunkBytes = std::size_t{2} << 20;
constexpr std::size_t kNodesPerChunk = kChunkBytes / sizeof(FormulaNode);
// The kind of a node in a free list; no tree holds it.
constexpr std::uint8_t kFreeKind = 0xFF;

// The free list is the engine thread's own; free nodes are linked through left. The
// disposer's batches wait in the returned list until the engine thread takes them.
struct Pool {
  FormulaNode* free = nullptr;
  std::size_t freeCount = 0;
  std::size_t freeAtLastWalk = 0;
  std::vector<FormulaNode*> chunks;

  std::mutex mutex;
  FormulaNode* returned = nullptr;
  FormulaNode* returnedLast = nullptr;
  std::size_t returnedCount = 0;
  std::atomic<bool> anyReturned{false};
  // Batches on the disposer thread that hold nodes not yet handed back: their chunks
  // must not be given away. Changed and read under the mutex.
  int batchesFilling = 0;
};
Pool pool;

void PushFree(FormulaNode* node) {
  node->kind = kFreeKind;
  node->left = pool.free;
  pool.free = node;
  ++pool.freeCount;
}

void TakeReturned() {
  if (!pool.anyReturned.load(std::memory_order_acquire)) return;
  std::lock_guard lock(pool.mutex);
  if (pool.returned == nullptr) return;
  pool.returnedLast->left = pool.free;
  pool.free = pool.returned;
  pool.freeCount += pool.returnedCount;
  pool.returned = pool.returnedLast = nullptr;
  pool.returnedCount = 0;
  pool.anyReturned.store(false, std::memory_order_relaxed);
}

// A new chunk, counted against the budget, cut into free nodes in address order.
bool AddChunk() {
  if (!ChargeMemory(kChunkBytes)) return false;
  // Populated at once: one call faults in the whole chunk, which is cut up right away.
  void* memory = mmap(nullptr, kChunkBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
  if (memory == MAP_FAILED) {
    ReleaseMemory(kChunkBytes);
    return false;
  }
  auto* chunk = static_cast<FormulaNode*>(memory);
  try {
    pool.chunks.push_back(chunk);
  } catch (const std::bad_alloc&) {
    munmap(memory, kChunkBytes);
    ReleaseMemory(kChunkBytes);
    return false;
  }
  for (std::size_t i = kNodesPerChunk; i-- > 0;) PushFree(&chunk[i]);
  return true;
}

FormulaNode* TakeNode() {
  if (pool.free == nullptr) {
    TakeReturned();
    if (pool.free == nullptr && !AddChunk()) return nullptr;
  }
  FormulaNode* node = pool.free;
  pool.free = node->left;
  --pool.freeCount;
  *node = FormulaNode{};
  return node;
}

void GiveNode(FormulaNode* node) { PushFree(node); }

std::size_t FreeNodesIn(const FormulaNode* chunk) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < kNodesPerChunk; ++i) count += chunk[i].kind == kFreeKind;
  return count;
}

// Unmaps every chunk whose nodes are all free and lists the free nodes of the others
// anew, in address order, when at least least bytes of nodes, and an eighth of the pool,
// are free and as many more have been freed since the last walk: a walk reads the whole
// pool, so it waits until what was freed since took about as long. The mutex keeps the
// disposer from starting a batch meanwhile.
void ReleaseChunks(std::size_t least) {
  TakeReturned();
  least = std::max(least, pool.chunks.size() * kChunkBytes / 8);
  std::lock_guard lock(pool.mutex);
  if (pool.batchesFilling > 0 || pool.freeCount * sizeof(FormulaNode) < least ||
      pool.freeCount < pool.freeAtLastWalk + least / sizeof(FormulaNode)) {
    return;
  }
  std::vector<FormulaNode*> kept;
  try {
    kept.reserve(pool.chunks.size());
  } catch (const std::bad_alloc&) {
    return;
  }
  for (FormulaNode* chunk : pool.chunks) {
    if (FreeNodesIn(chunk) < kNodesPerChunk) {
      kept.push_back(chunk);
    } else {
      munmap(chunk, kChunkBytes);
      ReleaseMemory(kChunkBytes);
    }
  }
  if (kept.size() < pool.chunks.size()) {
    pool.free = nullptr;
    pool.freeCount = 0;
    for (std::size_t c = kept.size(); c-- > 0;) {
      for (std::size_t i = kNodesPerChunk; i-- > 0;) {
        if (kept[c][i].kind == kFreeKind) PushFree(&kept[c][i]);
      }
    }
    pool.chunks = std::move(kept);
  }
  pool.freeAtLastWalk = pool.freeCount;
}

std::size_t PoolBytes() { return pool.chunks.size() * kChunkBytes; }
std::size_t PoolFreeBytes() {
  std::lock_guard lock(pool.mutex);
  return (pool.freeCount + pool.returnedCount) * sizeof(FormulaNode);
}
#endif

}  // namespace

FormulaNode* AllocateNode() {
  ++allocations;
  FormulaNode* node = FailureArmed() ? nullptr : TakeNode();
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
  GiveNode(node);
}

void FreedNodeBatch::Add(FormulaNode* node) {
#ifdef LUMENARK_ASAN
  GiveNode(node);
  ++count_;
#else
  if (first_ == nullptr) {
    std::lock_guard lock(pool.mutex);
    ++pool.batchesFilling;
    last_ = node;
  }
  node->kind = kFreeKind;
  node->left = first_;
  first_ = node;
  // Handed back now and then, so that the engine thread can reuse them early.
  if (++count_ == kNodesPerChunk) Flush();
#endif
}

void FreedNodeBatch::Flush() {
  if (count_ == 0) return;
#ifndef LUMENARK_ASAN
  {
    std::lock_guard lock(pool.mutex);
    last_->left = pool.returned;
    if (pool.returned == nullptr) pool.returnedLast = last_;
    pool.returned = first_;
    pool.returnedCount += count_;
    pool.anyReturned.store(true, std::memory_order_release);
    --pool.batchesFilling;
  }
  first_ = last_ = nullptr;
#endif
  freedOffThread += count_;
  count_ = 0;
}

void ReleaseFreeNodeMemory() {
  ReleaseChunks(kWorthReleasing);
  // What the algorithms' containers and the text gave back to the general memory manager.
  if (ReadHeapFigures().free > kWorthReleasing) TrimHeap();
}

namespace {
// Before a charge is refused: every chunk without a live node goes back, as long as at
// least a chunk's worth of nodes has been freed since the last walk.
void ReclaimFreeNodes() { ReleaseChunks(kChunkBytesForReclaim); }
const bool reclaimerSet = (SetMemoryReclaimer(ReclaimFreeNodes), true);
}  // namespace

std::size_t NodeMemoryBytes() { return PoolBytes(); }
std::size_t FreeNodeMemoryBytes() { return PoolFreeBytes(); }

std::size_t LiveNodeCount() { return liveNodes - freedOffThread.load(); }
std::uint64_t AllocationCount() { return allocations; }

void ArmAllocationFailure(std::uint64_t n, bool persistent) {
  failAt = n == 0 ? 0 : allocations + n;
  failPersistent = persistent;
}

}  // namespace lumenark
