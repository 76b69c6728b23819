#pragma once
// The engine's platform in the module: message boxes are kept for the caller, and the
// pending input is the page's. About every 10 ms of a command (the asks are counted, and
// how many to let pass is measured against the clock) the JavaScript side is asked
// whether Stop was pressed (the stop flag the page shares, a time limit), and it calls
// the page's progress callback when due.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/Host.h"

namespace lumenark::web {

// The most characters a document of the module holds: a JavaScript string holds 2^29 - 24
// in V8, and the page keeps its own copy beside ours. An output that would pass it stops
// its command, with the message the desktop's window shows for its own capacity.
inline constexpr std::size_t kPageTextCapacity = std::size_t{1} << 28;
inline constexpr std::string_view kTextCapacityMessage = "Text exceeds memo capacity";

// What pressed Stop: the page's stop flag (its Stop button), or a batch's time limit.
enum class StopCause { None, StopButton, TimeLimit };

class PageHost final : public Host {
 public:
  void ShowMessage(std::string_view text) override { messages_.emplace_back(text); }
  void ProcessPendingInput() override;
  bool StopDialogVisible() const override { return stopDialogVisible_; }
  void SetStopDialogVisible(bool visible) override { stopDialogVisible_ = visible; }

  // A command starts: no message, no stop yet.
  void Begin();
  const std::vector<std::string>& Messages() const { return messages_; }
  // Whether Stop was pressed since Begin, and what pressed it first.
  bool Stopped() const { return stopCause_ != StopCause::None; }
  StopCause Cause() const { return stopCause_; }

 private:
  std::vector<std::string> messages_;
  bool stopDialogVisible_ = false;
  StopCause stopCause_ = StopCause::None;
  std::uint32_t countdown_ = 1;
  std::uint32_t interval_ = 1;
  double lastLook_ = 0;
};

}  // namespace lumenark::web
