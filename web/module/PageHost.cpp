#include "PageHost.h"

#include <emscripten.h>

#include <algorithm>

#include "runtime/EngineGlobals.h"

namespace lumenark::web {
namespace {

// Asks the page (lumenark-engine.js, lookAtPage): 0, or the StopCause that pressed Stop.
EM_JS(int, LookAtPage, (), { return Module["lookAtPage"](); });

constexpr double kLookEveryMs = 10;
constexpr std::uint32_t kMostAsksBetweenLooks = 1 << 20;

}  // namespace

void PageHost::Begin() {
  messages_.clear();
  stopCause_ = StopCause::None;
  countdown_ = 1;
  interval_ = 1;
  lastLook_ = emscripten_get_now();
}

void PageHost::ProcessPendingInput() {
  if (--countdown_ != 0) return;
  const double now = emscripten_get_now();
  // Asks come at very different rates (a node printed, a solver's conflict): the number
  // let pass doubles while looks come too often and halves while they come too late.
  if (now - lastLook_ < kLookEveryMs / 2) interval_ = std::min(interval_ * 2, kMostAsksBetweenLooks);
  else if (now - lastLook_ > kLookEveryMs * 2) interval_ = std::max(interval_ / 2, std::uint32_t{1});
  countdown_ = interval_;
  lastLook_ = now;
  if (const int cause = LookAtPage(); cause != 0) {
    if (stopCause_ == StopCause::None) stopCause_ = static_cast<StopCause>(cause);
    StopRequested = true;
  }
}

}  // namespace lumenark::web
