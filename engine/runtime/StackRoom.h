#pragma once
// Every engine operation recurses as deep as the tree, and how deep the stack lets it go
// depends on what could be reserved for it (EngineStack.h) under the process's limits.
// Rather than overflow into a crash, each recursive worker asks on entry whether the
// stack has room for one more level. When it has not, the worker winds down as it does
// when memory runs out: the command ends as a stop, with "Insuficient memory.".
//
// The check compares the frame address with a floor a safe margin above the stack's end;
// the margin leaves room for what a worker calls without recursing (processing pending
// input in the window system among it). On the engine stack, the depth also counts
// against the memory budget: a million levels take a hundred megabytes of stack, and
// every MiB below the first 16 is charged as the recursion reaches it and released when
// the engine job ends.

#include <cstddef>
#include <cstdint>

#include "runtime/EngineGlobals.h"

namespace lumenark {

// Room kept below the floor for the calls a worker makes without recursing.
inline constexpr std::size_t kStackMargin = std::size_t{2} << 20;

// The calling thread's stack as the checks see it.
struct StackLimits {
  std::uintptr_t floor = 0;                        // no recursion below this address; 0 until known
  std::uintptr_t charged = ~std::uintptr_t{0};     // the stack above this address is paid for
  std::size_t chargedBytes = 0;
};

namespace stack_detail {
extern thread_local StackLimits limits;
// The slow way of StackHasRoom: finds the thread's own stack, or charges the budget
// for deeper stack.
bool Grow(std::uintptr_t here);
}  // namespace stack_detail

// Whether the calling thread may recurse one level deeper.
inline bool StackHasRoom() {
  const auto here = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
  return here > stack_detail::limits.charged || stack_detail::Grow(here);
}

// For a worker that can stop: true when it may go on; otherwise memory counts as
// exhausted (a stop) and the worker returns.
inline bool EnterRecursion() {
  if (StackHasRoom()) return true;
  StopForExhaustedMemory();
  return false;
}

// The engine stack sets the limits of the stack it switches to, with charged at the
// depth that is free of charge, and restores the caller's afterwards; it releases what
// its job charged.
StackLimits CurrentStackLimits();
void SetStackLimits(const StackLimits& limits);

}  // namespace lumenark
