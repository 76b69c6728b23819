#include "text/TextCapacity.h"

#include "runtime/MemoryBudget.h"

TextCapacity CapacityWithRoom(std::size_t bytes, std::size_t lines, std::uint64_t room) {
  TextCapacity capacity;
  capacity.memory = TextCapacity::Cost(bytes, lines) + room / 2;
  return capacity;
}

std::uint64_t MemoryRoom() {
  if (const std::optional<std::uint64_t> limit = lumenark::MemoryLimitFromEnvironment()) return *limit;
  return lumenark::DefaultMemoryHeadroom(lumenark::ReadMemoryFacts());
}
