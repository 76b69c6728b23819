#include "frame/HeapStatistics.h"

#include "formula/NodeAllocator.h"
#include "runtime/SystemHeap.h"

// The formula nodes live in the engine's own pool beside the general memory manager:
// its live nodes count as allocated, its free nodes as free.
std::size_t HeapAllocated() {
  return lumenark::ReadHeapFigures().allocated + lumenark::NodeMemoryBytes() - lumenark::FreeNodeMemoryBytes();
}

std::size_t HeapFree() { return lumenark::ReadHeapFigures().free + lumenark::FreeNodeMemoryBytes(); }
