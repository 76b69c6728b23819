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
//
// In WebAssembly a function's frame lies on the browser's own stack (a few hundred KiB in
// a Worker), where no address the module can read shows how deep it is, and running off
// its end throws out of the module without unwinding. There each level of a recursive
// worker is counted for as long as it lives (StackLevel), and a level past the depth
// limit is refused: the worker winds down as above, and the command ends with the depth
// message instead of the memory one (DepthRefusalText).
//
// The limit grows with the stack that is really left. A level that would pass it asks
// the host (SetStackProbe) how much is left, in units of a probe's frames, and is granted
// as many more levels as that leaves room for at the most a level was measured to take,
// after a margin. A grant holds while the levels it was made under stay: once the
// recursion returns above them, another path may weigh more, and the grant goes. The
// limit where the stack is not asked (no probe, or a fixed one set) stays as it is.

#include <cstddef>
#include <cstdint>
#include <string>

#include "runtime/EngineGlobals.h"

#if defined(__EMSCRIPTEN__)
#define LUMENARK_COUNTED_DEPTH 1
#include <emscripten/stack.h>
#endif

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
#ifdef LUMENARK_COUNTED_DEPTH
extern std::uint32_t depth;       // levels alive now
extern std::uint32_t depthLimit;  // the most that may be alive without asking
extern std::uint32_t grantBase;   // the depth under which the last grant was made
// A level past the limit: a grant from the stack that is left (true), or the refusal,
// noted at the current depth (false).
bool AskForDepth();
// The recursion returned above the last grant's base.
void DropGrant();
#endif
}  // namespace stack_detail

// Whether the calling thread may recurse one level deeper. (In WebAssembly this is the
// module's own stack, where frames keep what they take the address of.)
inline bool StackHasRoom() {
#ifdef __EMSCRIPTEN__
  const std::uintptr_t here = emscripten_stack_get_current();
#else
  const auto here = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
#endif
  return here > stack_detail::limits.charged || stack_detail::Grow(here);
}

// For a worker that can stop: true when it may go on; otherwise memory counts as
// exhausted (a stop) and the worker returns.
inline bool EnterRecursion() {
  if (StackHasRoom()) return true;
  StopForExhaustedMemory();
  return false;
}

// One level of a recursive worker, declared first in its body and alive for the whole
// call: Enter() asks as EnterRecursion does, HasRoom() as StackHasRoom does. Where the
// depth is counted, the level counts from the first ask until the call returns;
// elsewhere it is nothing beside the asks.
class StackLevel {
 public:
  StackLevel() = default;
  StackLevel(const StackLevel&) = delete;
  StackLevel& operator=(const StackLevel&) = delete;
#ifdef LUMENARK_COUNTED_DEPTH
  ~StackLevel() {
    if (counted_ && --stack_detail::depth < stack_detail::grantBase) stack_detail::DropGrant();
  }

  bool HasRoom() {
    if (!counted_) {
      if (stack_detail::depth >= stack_detail::depthLimit && !stack_detail::AskForDepth()) return false;
      ++stack_detail::depth;
      counted_ = true;
    }
    return StackHasRoom();
  }
#else
  [[gnu::always_inline]] bool HasRoom() { return StackHasRoom(); }
#endif

  [[gnu::always_inline]] bool Enter() {
    if (HasRoom()) return true;
    StopForExhaustedMemory();
    return false;
  }

 private:
#ifdef LUMENARK_COUNTED_DEPTH
  bool counted_ = false;
#endif
};

// The depth limit of counted levels (WebAssembly): a fixed one, which no grant passes;
// without counting, the setting is kept and changes nothing.
void SetDepthLimit(std::uint32_t levels);
std::uint32_t DepthLimit();

// How the stack that is left is measured where the depth is counted: probe() gives the
// number of a probe's frames that still fit; a level takes at most levelCost of them,
// and margin of them stay for what a level calls without recursing. Without a fixed
// limit, the first limit is what the stack at the top has room for.
struct StackProbe {
  std::uint32_t (*probe)() = nullptr;
  std::uint32_t levelCost = 1;
  std::uint32_t margin = 0;
};
void SetStackProbe(const StackProbe& probe);
// Whether a level was refused for its depth since the last ResetDepthRefusal (before
// memory ran out, if it did), and at what depth. Never where the depth is not counted.
bool DepthRefused();
std::uint32_t RefusedDepth();
void ResetDepthRefusal();
// "Too deep for the browser's stack: the command reached N levels of nesting."
std::string DepthRefusalText(std::uint32_t depth);

// The engine stack sets the limits of the stack it switches to, with charged at the
// depth that is free of charge, and restores the caller's afterwards; it releases what
// its job charged.
StackLimits CurrentStackLimits();
void SetStackLimits(const StackLimits& limits);

}  // namespace lumenark
