#include "EngineStack.h"

#include <sys/mman.h>
#include <ucontext.h>

#include <cstddef>
#include <exception>

#if defined(__SANITIZE_ADDRESS__)
#define LUMENARK_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LUMENARK_ASAN 1
#endif
#endif

#ifdef LUMENARK_ASAN
#include <sanitizer/common_interface_defs.h>
#endif

namespace lumenark {
namespace {

constexpr std::size_t kStackSize = std::size_t{2} << 30;
// What stays committed after a job; deeper pages are given back to the system.
constexpr std::size_t kKeptCommitted = std::size_t{16} << 20;

struct EngineFiber {
  void* stack = nullptr;  // lowest address of the reserved stack
  bool active = false;
  ucontext_t caller{};
  ucontext_t fiber{};
  const std::function<void()>* job = nullptr;
  std::exception_ptr error;
#ifdef LUMENARK_ASAN
  const void* callerStackBottom = nullptr;
  std::size_t callerStackSize = 0;
#endif
};

thread_local EngineFiber engineFiber;

void FiberMain() {
  EngineFiber& f = engineFiber;
#ifdef LUMENARK_ASAN
  __sanitizer_finish_switch_fiber(nullptr, &f.callerStackBottom, &f.callerStackSize);
#endif
  try {
    (*f.job)();
  } catch (...) {
    f.error = std::current_exception();
  }
#ifdef LUMENARK_ASAN
  __sanitizer_start_switch_fiber(nullptr, f.callerStackBottom, f.callerStackSize);
#endif
  // Returning resumes the caller through uc_link.
}

bool ReserveStack(EngineFiber& f) {
  if (f.stack != nullptr) return true;
  void* memory = mmap(nullptr, kStackSize, PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (memory == MAP_FAILED) return false;
  // The lowest page stays inaccessible, so running off the end faults instead of
  // writing into whatever lies below.
  mprotect(memory, 4096, PROT_NONE);
  f.stack = memory;
  return true;
}

}  // namespace

bool OnEngineStack() { return engineFiber.active; }

void RunOnEngineStack(const std::function<void()>& job) {
  EngineFiber& f = engineFiber;
  if (f.active || !ReserveStack(f)) {
    job();
    return;
  }
  getcontext(&f.fiber);
  f.fiber.uc_stack.ss_sp = f.stack;
  f.fiber.uc_stack.ss_size = kStackSize;
  f.fiber.uc_link = &f.caller;
  makecontext(&f.fiber, FiberMain, 0);
  f.job = &job;
  f.active = true;
#ifdef LUMENARK_ASAN
  void* fakeStack = nullptr;
  __sanitizer_start_switch_fiber(&fakeStack, f.stack, kStackSize);
#endif
  swapcontext(&f.caller, &f.fiber);
#ifdef LUMENARK_ASAN
  __sanitizer_finish_switch_fiber(fakeStack, nullptr, nullptr);
#endif
  f.active = false;
  f.job = nullptr;
  madvise(f.stack, kStackSize - kKeptCommitted, MADV_DONTNEED);
  if (f.error) {
    std::exception_ptr error = f.error;
    f.error = nullptr;
    std::rethrow_exception(error);
  }
}

}  // namespace lumenark
