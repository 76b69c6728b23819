#pragma once
// The general memory manager (malloc) as the engine sees it: what it holds, and a way to
// hand what it holds free back to the system. Natively these are glibc's own figures and
// malloc_trim; in WebAssembly the figures come from emscripten's allocator, and nothing
// goes back, since a module's memory never shrinks.

#include <cstdint>

namespace lumenark {

struct HeapFigures {
  std::uint64_t allocated = 0;  // in blocks allocated now, without their bookkeeping
  std::uint64_t mapped = 0;     // in large blocks the manager maps on their own
  std::uint64_t free = 0;       // free inside the memory the manager has obtained
};

HeapFigures ReadHeapFigures();

// Gives the manager's free memory back to the system, where the platform allows.
void TrimHeap();

}  // namespace lumenark
