#include "runtime/StackRoom.h"

#include <pthread.h>

#include "runtime/MemoryBudget.h"

namespace lumenark {

namespace stack_detail {
thread_local StackLimits limits;

namespace {

constexpr std::uintptr_t kChargeStep = std::uintptr_t{1} << 20;

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
}  // namespace stack_detail

StackLimits CurrentStackLimits() { return stack_detail::limits; }
void SetStackLimits(const StackLimits& limits) { stack_detail::limits = limits; }

}  // namespace lumenark
