#pragma once
// The memory manager's figures shown in the status bar, each from a fresh snapshot of
// the manager's statistics (runtime/SystemHeap.h) and the engine's node pool.

#include <cstddef>

// Bytes in blocks the program holds allocated now, without the per-block bookkeeping.
std::size_t HeapAllocated();
// Bytes free inside the memory the manager has already obtained from the system.
std::size_t HeapFree();
