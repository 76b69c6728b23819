#include "StackProbe.h"

#include <emscripten.h>

#include "runtime/StackRoom.h"

namespace lumenark::web {
namespace {

// The most of the probe's frames a level was measured to take, with room to spare: the
// heaviest levels (the minimal CNF of a chain of alternating operators) took 9.4 in a
// Chromium Worker with V8's optimising tier for the engine and the probe alike, 4.2 with
// its baseline for both. Where the engine's levels take less, the grants come more
// often and reach as deep. A fifth of the stack at the top stays for what the deepest
// level calls without recursing (the solver, the page's callbacks).
constexpr std::uint32_t kFramesPerLevel = 15;
constexpr std::uint32_t kMarginPart = 5;

std::uint32_t probeFrames = 0;
volatile std::uint32_t probeSink = 0;

// A frame of the probe: counted, then one more below it. The store after the call keeps
// the compiler from turning the recursion into a loop. The probe never returns (the end
// of the stack ends it), so V8, which optimises a function as it returns, keeps it in
// its baseline tier, where its frames are the largest.
__attribute__((noinline)) void ProbeFrame(std::uint32_t below) {
  if (below == 0) return;
  ++probeFrames;
  ProbeFrame(below - 1);
  probeSink = below;
}

EM_JS(std::uint32_t, AskForStackFrames, (), { return Module["stackFramesLeft"](); });

}  // namespace

std::uint32_t ProbeFramesLeft() { return AskForStackFrames(); }

void MeasureStackAtTop() { SetStackProbe({ProbeFramesLeft, 1, kFramesPerLevel, kMarginPart}); }

}  // namespace lumenark::web

using namespace lumenark::web;

// Called by the JavaScript side, which catches the end of the stack: the frames counted
// so far are what fit.
extern "C" EMSCRIPTEN_KEEPALIVE void lk_probe_stack() {
  probeFrames = 0;
  ProbeFrame(~std::uint32_t{0});
}
extern "C" EMSCRIPTEN_KEEPALIVE std::uint32_t lk_probe_frames() { return probeFrames; }
