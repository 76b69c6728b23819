#include "runtime/StackRoom.h"

#ifdef __EMSCRIPTEN__
#include <emscripten/stack.h>
#else
#include <pthread.h>
#endif

#include "runtime/MemoryBudget.h"

namespace lumenark {

namespace stack_detail {
thread_local StackLimits limits;
#ifdef LUMENARK_COUNTED_DEPTH
std::uint32_t depth = 0;
// Without a probe: what a Chromium Worker's stack holds of the heaviest levels measured,
// less a third.
std::uint32_t depthLimit = 1000;
std::uint32_t grantBase = 0;
#endif

namespace {

constexpr std::uintptr_t kChargeStep = std::uintptr_t{1} << 20;
bool depthRefused = false;
std::uint32_t refusedDepth = 0;

#ifdef __EMSCRIPTEN__
// The module's own stack in its memory, for what frames keep there (locals whose address
// is taken); it is part of the module's memory and never charged.
void FindThreadStack() {
  std::uintptr_t end = emscripten_stack_get_end();
  // Linked with the stack first, below the module's data, the stack runs down to address
  // 0, while emscripten's figures still place it above the data.
  if (emscripten_stack_get_current() < end) end = 0;
  limits.floor = end + kStackMargin;
  limits.charged = limits.floor;
}
#else
// The thread's own stack, as the thread library knows it. The main thread's stack may
// be reported as large as an unlimited RLIMIT_STACK; it is taken as 8 MiB then. It is
// not charged: it is there anyway.
void FindThreadStack() {
  const auto here = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
  std::uintptr_t lowest = here > (std::uintptr_t{8} << 20) ? here - (std::uintptr_t{8} << 20) : 0;
  pthread_attr_t attributes;
  if (pthread_getattr_np(pthread_self(), &attributes) == 0) {
    void* address = nullptr;
    std::size_t size = 0;
    if (pthread_attr_getstack(&attributes, &address, &size) == 0 && size <= (std::size_t{1} << 30)) {
      lowest = reinterpret_cast<std::uintptr_t>(address);
    }
    pthread_attr_destroy(&attributes);
  }
  limits.floor = lowest + kStackMargin;
  limits.charged = limits.floor;
}
#endif

}  // namespace

bool Grow(std::uintptr_t here) {
  if (limits.floor == 0) FindThreadStack();
  if (here <= limits.floor) return false;
  if (here > limits.charged) return true;
  std::uintptr_t target = (here - kChargeStep) & ~(kChargeStep - 1);
  if (target < limits.floor) target = limits.floor;
  const std::size_t bytes = limits.charged - target;
  if (!ChargeMemory(bytes)) return false;
  limits.charged = target;
  limits.chargedBytes += bytes;
  return true;
}

#ifdef LUMENARK_COUNTED_DEPTH
namespace {

struct Grant {
  std::uint32_t base;   // depth when granted
  std::uint32_t limit;  // the limit before it
};
constexpr std::size_t kMostGrants = 64;
Grant grants[kMostGrants];
std::size_t grantCount = 0;
StackProbe stackProbe;
bool fixedLimit = false;

// A refusal after memory ran out belongs to the winding down, not to why the command
// ended: the memory message stays.
bool RefuseDepth() {
  if (!depthRefused && !MemoryExhausted) {
    depthRefused = true;
    refusedDepth = depth;
  }
  return false;
}

// The levels the stack left has room for, at the most a level takes.
std::uint32_t LevelsLeft() {
  const std::uint32_t frames = stackProbe.probe();
  return frames > stackProbe.margin ? (frames - stackProbe.margin) / stackProbe.levelCost : 0;
}

}  // namespace

bool AskForDepth() {
  if (fixedLimit || stackProbe.probe == nullptr || grantCount == kMostGrants) return RefuseDepth();
  const std::uint32_t levels = LevelsLeft();
  if (levels == 0) return RefuseDepth();
  grants[grantCount++] = {depth, depthLimit};
  grantBase = depth;
  depthLimit = depth + levels;
  return true;
}

void DropGrant() {
  depthLimit = grants[--grantCount].limit;
  grantBase = grantCount > 0 ? grants[grantCount - 1].base : 0;
}
#endif
}  // namespace stack_detail

#ifdef LUMENARK_COUNTED_DEPTH
void SetDepthLimit(std::uint32_t levels) {
  stack_detail::depthLimit = levels;
  stack_detail::fixedLimit = true;
}
std::uint32_t DepthLimit() { return stack_detail::depthLimit; }

void SetStackProbe(const StackProbe& probe) {
  stack_detail::stackProbe = probe;
  if (!stack_detail::fixedLimit && probe.probe != nullptr && stack_detail::depth == 0) {
    stack_detail::depthLimit = stack_detail::LevelsLeft();
  }
}
#else
void SetStackProbe(const StackProbe&) {}
namespace {
std::uint32_t keptDepthLimit = 0;
}  // namespace
void SetDepthLimit(std::uint32_t levels) { keptDepthLimit = levels; }
std::uint32_t DepthLimit() { return keptDepthLimit; }
#endif

bool DepthRefused() { return stack_detail::depthRefused; }
std::uint32_t RefusedDepth() { return stack_detail::refusedDepth; }
void ResetDepthRefusal() {
  stack_detail::depthRefused = false;
  stack_detail::refusedDepth = 0;
}

std::string DepthRefusalText(std::uint32_t depth) {
  return "Too deep for the browser's stack: the command reached " + std::to_string(depth) + " levels of nesting.";
}

StackLimits CurrentStackLimits() { return stack_detail::limits; }
void SetStackLimits(const StackLimits& limits) { stack_detail::limits = limits; }

}  // namespace lumenark
