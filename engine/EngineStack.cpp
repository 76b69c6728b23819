#include "EngineStack.h"

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
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

#if !defined(__x86_64__)
#include <ucontext.h>
#endif

namespace lumenark {
namespace {

// Address space only: pages are committed as the recursion reaches them.
constexpr std::size_t kStackSize = std::size_t{8} << 30;
// What stays committed after a job; deeper pages are given back to the system.
constexpr std::size_t kKeptCommitted = std::size_t{16} << 20;
constexpr std::size_t kGuardSize = 1 << 16;

struct EngineStackState {
  void* stack = nullptr;  // lowest address of the reservation
  bool active = false;
  const std::function<void()>* job = nullptr;
  std::exception_ptr error;
};

thread_local EngineStackState state;

// Runs on the engine stack: the job, with every exception caught so that none
// unwinds across the switch of stacks.
void RunJob(void*) {
  try {
    (*state.job)();
  } catch (...) {
    state.error = std::current_exception();
  }
}

bool ReserveStack() {
  if (state.stack != nullptr) return true;
  void* memory = mmap(nullptr, kStackSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (memory == MAP_FAILED) return false;
  // The lowest pages stay inaccessible, so running off the end faults instead of
  // writing into whatever lies below.
  mprotect(memory, kGuardSize, PROT_NONE);
  state.stack = memory;
  return true;
}

}  // namespace
}  // namespace lumenark

#if defined(__x86_64__)
// Calls fn(argument) with the stack pointer at stackTop (16-byte aligned) and returns
// on the caller's stack. The frame keeps unwind information through rbp.
extern "C" void lumenark_call_on_stack(void* argument, void (*fn)(void*), void* stackTop);
asm(R"(
  .text
  .globl lumenark_call_on_stack
  .type lumenark_call_on_stack, @function
lumenark_call_on_stack:
  .cfi_startproc
  pushq %rbp
  .cfi_def_cfa_offset 16
  .cfi_offset %rbp, -16
  movq %rsp, %rbp
  .cfi_def_cfa_register %rbp
  movq %rdx, %rsp
  callq *%rsi
  movq %rbp, %rsp
  popq %rbp
  .cfi_def_cfa %rsp, 8
  ret
  .cfi_endproc
  .size lumenark_call_on_stack, .-lumenark_call_on_stack
)");
#endif

namespace lumenark {
namespace {

void SwitchAndRun() {
#ifdef LUMENARK_ASAN
  void* fakeStack = nullptr;
  const void* callerBottom = nullptr;
  std::size_t callerSize = 0;
  __sanitizer_start_switch_fiber(&fakeStack, state.stack, kStackSize);
#endif
#if defined(__x86_64__)
  void* top = static_cast<char*>(state.stack) + kStackSize;
  lumenark_call_on_stack(nullptr, [](void* argument) {
#ifdef LUMENARK_ASAN
    const void* bottom;
    std::size_t size;
    __sanitizer_finish_switch_fiber(nullptr, &bottom, &size);
    RunJob(argument);
    __sanitizer_start_switch_fiber(nullptr, bottom, size);
#else
    RunJob(argument);
#endif
  }, top);
#else
  static thread_local ucontext_t caller, fiber;
  getcontext(&fiber);
  fiber.uc_stack.ss_sp = state.stack;
  fiber.uc_stack.ss_size = kStackSize;
  fiber.uc_link = &caller;
  makecontext(&fiber, reinterpret_cast<void (*)()>(+[] { RunJob(nullptr); }), 0);
  swapcontext(&caller, &fiber);
#endif
#ifdef LUMENARK_ASAN
  __sanitizer_finish_switch_fiber(fakeStack, &callerBottom, &callerSize);
#endif
}

// The stack is touched downwards from its top, so if the page just below the kept
// part is not resident, no deeper page is either and there is nothing to give back.
void ReleaseDeepPages() {
  char* keptBottom = static_cast<char*>(state.stack) + kStackSize - kKeptCommitted;
  const std::size_t page = 4096;
  unsigned char resident = 0;
  if (mincore(keptBottom - page, page, &resident) == 0 && (resident & 1) == 0) return;
  madvise(state.stack, kStackSize - kKeptCommitted, MADV_DONTNEED);
}

}  // namespace

bool OnEngineStack() { return state.active; }

void RunOnEngineStack(const std::function<void()>& job) {
  if (state.active || !ReserveStack()) {
    job();
    return;
  }
  state.job = &job;
  state.active = true;
  SwitchAndRun();
  state.active = false;
  state.job = nullptr;
  ReleaseDeepPages();
  if (state.error) {
    std::exception_ptr error = state.error;
    state.error = nullptr;
    std::rethrow_exception(error);
  }
}

}  // namespace lumenark
