#include "frame/HeapStatistics.h"

#include <malloc.h>

#include "formula/NodeAllocator.h"

// The formula nodes live in the engine's own pool beside the general memory manager:
// its live nodes count as allocated, its free nodes as free.
std::size_t HeapAllocated() {
  return mallinfo2().uordblks + lumenark::NodeMemoryBytes() - lumenark::FreeNodeMemoryBytes();
}

std::size_t HeapFree() { return mallinfo2().fordblks + lumenark::FreeNodeMemoryBytes(); }
