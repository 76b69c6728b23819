#pragma once
// Every engine operation recurses as deep as the tree, and how deep the stack lets it go
// depends on what could be reserved for it (EngineStack.h) under the process's limits.
// Rather than overflow into a crash, each recursive worker asks on entry whether the
// stack has room for one more level. When it has not, the worker winds down as it does
// when memory runs out: the command ends as a stop, with "Insuficient memory.".
//
// The check compares the frame address with a floor a safe margin above the stack's end;
// the margin leaves room for what a worker calls without recursing (processing pending
// input in the window system among it).

#include <cstddef>
#include <cstdint>

#include "EngineGlobals.h"

namespace lumenark {

// Room kept below the floor for the calls a worker makes without recursing.
inline constexpr std::size_t kStackMargin = std::size_t{2} << 20;

namespace stack_detail {
extern thread_local std::uintptr_t floor;
std::uintptr_t FindThreadStackFloor();
}  // namespace stack_detail

// Whether the calling thread may recurse one level deeper.
inline bool StackHasRoom() {
  std::uintptr_t floor = stack_detail::floor;
  if (floor == 0) floor = stack_detail::FindThreadStackFloor();
  return reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0)) > floor;
}

// For a worker that can stop: true when it may go on; otherwise memory counts as
// exhausted (a stop) and the worker returns.
inline bool EnterRecursion() {
  if (StackHasRoom()) return true;
  StopForExhaustedMemory();
  return false;
}

// The engine stack sets the floor of the stack it switches to and restores the
// previous one afterwards.
std::uintptr_t StackFloor();
void SetStackFloor(std::uintptr_t floor);

}  // namespace lumenark
