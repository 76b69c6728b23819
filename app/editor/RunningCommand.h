#pragma once
// A command in progress in one editor window (a Formula command, or a print job):
// from its start until it has ended, the window's commands and its closing wait, the
// user cannot change the text, and the engine's pending input is counted from the
// start of the command. Ending hands every collected write to the control, gives the
// focus back to the text if it had it, and lets what the user typed and asked for
// meanwhile be carried out (TypeAhead.h); the last command to end anywhere carries out
// an exit asked for meanwhile.

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
};
