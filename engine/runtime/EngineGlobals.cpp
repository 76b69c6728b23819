#include "runtime/EngineGlobals.h"

namespace lumenark {

bool StopRequested = false;
std::uint16_t OutputColumn = 0;
bool MemoryExhausted = false;

}  // namespace lumenark
