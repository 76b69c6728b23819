#include "HeapStatistics.h"

#include <malloc.h>

std::size_t HeapAllocated() { return mallinfo2().uordblks; }

std::size_t HeapFree() { return mallinfo2().fordblks; }
