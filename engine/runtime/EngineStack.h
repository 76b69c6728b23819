#pragma once
// The engine's operations recurse as deep as the tree is, and a tree is as deep as its
// input is long: a selection of a million characters makes a tree 500,000 levels
// deep. Engine calls therefore run on a stack of their own, reserved once per thread
// (8 GiB of address space, committed only as far as it is used; less under a limit of
// the address space or the data segment), on the calling thread, so that they can still
// process the window system's pending input. How deep a computation may go on it is
// checked as it recurses (StackRoom.h). In WebAssembly there is no stack to switch to:
// the job runs on the browser's own stack, and its depth is counted instead.

#include <cstddef>
#include <functional>

#include "runtime/AddressSanitizer.h"

namespace lumenark {

// Runs job on the engine stack and returns when it is done. A call made while already
// on the engine stack runs the job directly. An exception thrown by the job is
// rethrown to the caller.
void RunOnEngineStack(const std::function<void()>& job);

// True while the calling thread runs on the engine stack.
bool OnEngineStack();

// Called right before a throw, for AddressSanitizer. A throw clears the shadow of the
// stack between it and the top, since the frames it unwinds never unpoison their own;
// but the sanitizer does so only within 64 MiB of the top, and further down leaves the
// unwound frames poisoned, so that later calls there are reported as errors that are
// none. Deep on the engine stack this clears the shadow up to the top itself and shows
// the sanitizer, for the unwinding, the stack below a point just above the throw: the
// frames unwound there see a stack that is not too deep to clean. The engine stack's
// full extent is shown again before the next throw and when the job ends. Nothing in
// other builds.
#ifdef LUMENARK_ASAN
void ReadyEngineStackForThrow();
#else
inline void ReadyEngineStackForThrow() {}
#endif

}  // namespace lumenark
