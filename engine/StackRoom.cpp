#include "StackRoom.h"

#include <pthread.h>

namespace lumenark {

namespace stack_detail {
thread_local std::uintptr_t floor = 0;

// The thread's own stack, as the thread library knows it. The main thread's stack may
// be reported as large as an unlimited RLIMIT_STACK; it is taken as 8 MiB then.
std::uintptr_t FindThreadStackFloor() {
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
  floor = lowest + kStackMargin;
  return floor;
}
}  // namespace stack_detail

std::uintptr_t StackFloor() { return stack_detail::floor; }
void SetStackFloor(std::uintptr_t floor) { stack_detail::floor = floor; }

}  // namespace lumenark
