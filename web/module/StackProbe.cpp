#include "StackProbe.h"

#include <emscripten.h>

#include "runtime/StackRoom.h"

namespace lumenark::web {
namespace {

// Measured in a Chromium Worker, with V8's baseline and its optimising tier: the
// heaviest levels (the minimal CNF of a chain of alternating operators) took up to 4.2
// of the probe's frames; with room to spare, 6. The probe never returns (the end of the
// stack ends it), so V8 never optimises it, and its frames stay the baseline's size. A
// fifth of the stack at the top stays for what the deepest level calls without
// recursing (the solver, the page's callbacks).
constexpr std::uint32_t kLevelCost = 6;
constexpr std::uint32_t kMarginPart = 5;

std::uint32_t probeFrames = 0;
volatile std::uint32_t probeSink = 0;

// A frame of the probe: counted, then one more below it. The store after the call keeps
// the compiler from turning the recursion into a loop.
__attribute__((noinline)) void ProbeFrame(std::uint32_t below) {
  if (below == 0) return;
  ++probeFrames;
  ProbeFrame(below - 1);
  probeSink = below;
}

EM_JS(std::uint32_t, AskForStackFrames, (), { return Module["stackFramesLeft"](); });

}  // namespace

std::uint32_t ProbeFramesLeft() { return AskForStackFrames(); }

void UseStackProbe() {
  const std::uint32_t atTop = ProbeFramesLeft();
  SetStackProbe({ProbeFramesLeft, kLevelCost, atTop / kMarginPart});
}

}  // namespace lumenark::web

using namespace lumenark::web;

// Called by the JavaScript side, which catches the end of the stack: the frames counted
// so far are what fit.
extern "C" EMSCRIPTEN_KEEPALIVE void lk_probe_stack() {
  probeFrames = 0;
  ProbeFrame(~std::uint32_t{0});
}
extern "C" EMSCRIPTEN_KEEPALIVE std::uint32_t lk_probe_frames() { return probeFrames; }
