#pragma once
// What the engine needs of the platform besides the text: a message box, a chance for
// the window system to handle waiting input (so the Stop button can be clicked), and
// the stop dialog's visibility.

#include <string_view>

namespace lumenark {

class Host {
 public:
  virtual ~Host() = default;

  virtual void ShowMessage(std::string_view text) = 0;  // modal box: the text and OK
  virtual void ProcessPendingInput() = 0;               // handle waiting input, then return
  virtual bool StopDialogVisible() const = 0;
  virtual void SetStopDialogVisible(bool visible) = 0;
};

}  // namespace lumenark
