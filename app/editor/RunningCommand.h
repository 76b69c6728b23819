#pragma once
// A command in progress in one editor window (a Formula command, or a print job):
// from its start until it has ended, the window's commands and its closing wait, the
// user cannot change the text, and the engine's pending input is counted from the
// start of the command. Ending hands every collected write to the control, and gives the
// keyboard back to the window if the stop dialog took it while it was shown (with no
// window manager to hand it back, no window would have it, and no key would reach a
// menu item).

class TEditForm;

class RunningCommand {
 public:
  explicit RunningCommand(TEditForm& form);
  ~RunningCommand();

  RunningCommand(const RunningCommand&) = delete;
  RunningCommand& operator=(const RunningCommand&) = delete;

 private:
  TEditForm& form_;
  bool memoHadFocus_;
  bool windowWasActive_;
};
