#include "runtime/EngineStack.h"

#ifdef __EMSCRIPTEN__
#include <exception>

namespace lumenark {
namespace {
thread_local bool active = false;
}  // namespace

// WebAssembly has one stack, the browser's, and no way to switch to another: the job runs
// on it directly, and how deep it may go is counted (StackRoom.h).
void RunOnEngineStack(const std::function<void()>& job) {
  if (active) {
    job();
    return;
  }
  active = true;
  try {
    job();
  } catch (...) {
    active = false;
    throw;
  }
  active = false;
}

bool OnEngineStack() { return active; }

}  // namespace lumenark
#else
#include <sys/mman.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <exception>

#include "runtime/AddressSanitizer.h"
#include "runtime/MemoryBudget.h"
#include "runtime/StackRoom.h"

#ifdef LUMENARK_ASAN
#include <sanitizer/asan_interface.h>
#include <sanitizer/common_interface_defs.h>
#endif

#if !defined(__x86_64__)
#include <ucontext.h>
#endif

namespace lumenark {
namespace {

// Address space only: pages are committed as the recursion reaches them. Under a limit
// of the address space or the data segment (or with strict overcommit) the stack takes
// at most a quarter of what the limit leaves, and smaller sizes are tried down to the
// least one; below that the engine runs on the thread's own stack.
constexpr std::size_t kLargestStack = std::size_t{8} << 30;
constexpr std::size_t kLeastStack = std::size_t{16} << 20;
// What stays committed after a job; deeper pages are given back to the system.
constexpr std::size_t kKeptCommitted = std::size_t{16} << 20;
constexpr std::size_t kGuardSize = 1 << 16;

struct EngineStackState {
  void* stack = nullptr;  // lowest address of the reservation
  std::size_t size = 0;
  bool active = false;
  const std::function<void()>* job = nullptr;
  std::exception_ptr error;
#ifdef LUMENARK_ASAN
  bool narrowed = false;          // the sanitizer is shown the stack below a throw
  void* throwFakeStack = nullptr;  // the sanitizer's own frames, kept over that time
#endif
};

thread_local EngineStackState state;

#ifdef LUMENARK_ASAN
constexpr std::uintptr_t kNearThrow = std::uintptr_t{1} << 16;

// Ends what ReadyEngineStackForThrow began: the sanitizer sees the whole engine stack.
void ShowWholeEngineStack() {
  if (!state.narrowed) return;
  state.narrowed = false;
  __sanitizer_finish_switch_fiber(state.throwFakeStack, nullptr, nullptr);
  void* fakeStack = nullptr;
  __sanitizer_start_switch_fiber(&fakeStack, state.stack, state.size);
  __sanitizer_finish_switch_fiber(fakeStack, nullptr, nullptr);
}
#endif

// Runs on the engine stack: the job, with every exception caught so that none
// unwinds across the switch of stacks.
void RunJob(void*) {
  try {
    (*state.job)();
  } catch (...) {
    state.error = std::current_exception();
  }
}

// A quarter of what the process's limits leave, in whole MiB, between the least and the
// largest size.
std::size_t StackSizeWithinLimits() {
  const std::uint64_t room = std::min<std::uint64_t>(RoomUnderProcessLimits(ReadMemoryFacts()), kLargestStack * 4);
  const std::uint64_t quarter = room / 4 & ~((std::uint64_t{1} << 20) - 1);
  return static_cast<std::size_t>(std::clamp<std::uint64_t>(quarter, kLeastStack, kLargestStack));
}

bool ReserveStack() {
  if (state.stack != nullptr) return true;
  for (std::size_t size = StackSizeWithinLimits(); size >= kLeastStack; size /= 2) {
    void* memory = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (memory == MAP_FAILED) continue;
    // The lowest pages stay inaccessible, so running off the end faults instead of
    // writing into whatever lies below; the recursion checks keep well above them.
    mprotect(memory, kGuardSize, PROT_NONE);
    state.stack = memory;
    state.size = size;
    return true;
  }
  return false;
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
  __sanitizer_start_switch_fiber(&fakeStack, state.stack, state.size);
#endif
#if defined(__x86_64__)
  void* top = static_cast<char*>(state.stack) + state.size;
  lumenark_call_on_stack(nullptr, [](void* argument) {
#ifdef LUMENARK_ASAN
    const void* bottom;
    std::size_t size;
    __sanitizer_finish_switch_fiber(nullptr, &bottom, &size);
    RunJob(argument);
    ShowWholeEngineStack();
    __sanitizer_start_switch_fiber(nullptr, bottom, size);
#else
    RunJob(argument);
#endif
  }, top);
#else
  static thread_local ucontext_t caller, fiber;
  getcontext(&fiber);
  fiber.uc_stack.ss_sp = state.stack;
  fiber.uc_stack.ss_size = state.size;
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
  if (state.size <= kKeptCommitted) return;
  char* keptBottom = static_cast<char*>(state.stack) + state.size - kKeptCommitted;
  const std::size_t page = 4096;
  unsigned char resident = 0;
  if (mincore(keptBottom - page, page, &resident) == 0 && (resident & 1) == 0) return;
  madvise(state.stack, state.size - kKeptCommitted, MADV_DONTNEED);
}

}  // namespace

bool OnEngineStack() { return state.active; }

#ifdef LUMENARK_ASAN
void ReadyEngineStackForThrow() {
#if defined(__x86_64__)  // the other platforms' switch leaves the sanitizer mid-switch
  ShowWholeEngineStack();
  const auto here = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
  const auto bottom = reinterpret_cast<std::uintptr_t>(state.stack);
  const std::uintptr_t top = bottom + state.size;
  if (!state.active || here < bottom + kGuardSize + kNearThrow || here + kNearThrow > top) return;
  const std::uintptr_t from = (here - kNearThrow) & ~(kNearThrow - 1);
  __asan_unpoison_memory_region(reinterpret_cast<void*>(from), top - from);
  // A switch begun and not finished: until it is, the sanitizer takes the stack below
  // here + kNearThrow for the one that code running there is on.
  __sanitizer_start_switch_fiber(&state.throwFakeStack, state.stack, here + kNearThrow - bottom);
  state.narrowed = true;
#endif
}
#endif

void RunOnEngineStack(const std::function<void()>& job) {
  if (state.active || !ReserveStack()) {
    job();
    return;
  }
  state.job = &job;
  state.active = true;
  const StackLimits caller = CurrentStackLimits();
  const auto bottom = reinterpret_cast<std::uintptr_t>(state.stack);
  SetStackLimits({bottom + kGuardSize + kStackMargin, bottom + state.size - std::min(state.size, kKeptCommitted), 0});
  SwitchAndRun();
  ReleaseMemory(CurrentStackLimits().chargedBytes);
  SetStackLimits(caller);
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
#endif
