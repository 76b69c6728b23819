#include "runtime/SystemHeap.h"

#include <malloc.h>

namespace lumenark {

#ifdef __EMSCRIPTEN__
HeapFigures ReadHeapFigures() {
  const struct mallinfo info = mallinfo();
  // The fields are int; as unsigned they hold the whole 4 GiB a module can address.
  return {static_cast<unsigned>(info.uordblks), static_cast<unsigned>(info.hblkhd),
          static_cast<unsigned>(info.fordblks)};
}

void TrimHeap() {}
#else
HeapFigures ReadHeapFigures() {
  const struct mallinfo2 info = mallinfo2();
  return {info.uordblks, info.hblkhd, info.fordblks};
}

void TrimHeap() { malloc_trim(0); }
#endif

}  // namespace lumenark
