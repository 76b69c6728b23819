#pragma once
// The engine's EditorText on the text control of an editor window.
//
// Positions: the engine counts a line break as the two characters CR LF, the control
// as one, so an engine position is the control position plus the number of line
// breaks before it. An engine position between the CR and the LF of a break stands
// for the end of that line.
//
// Writes: the engine writes its output a character at a time. The writes at the caret
// are collected and handed to the control in pieces: by Flush, and before any other
// call that must see the text as written. Whoever lets the user see the control (the
// window's Host before processing pending input, the window when a command ends)
// flushes first, so the control always shows and holds exactly what was written.
//
// Undo: everything a command writes is one step to undo, and one to redo: the first
// piece of a command begins a step of the text's undo history, and the later pieces
// join it. An output of many lines goes on in a document of its own, where Undo and
// Redo take no time (TextVersions.h).
//
// Capacity: the control takes writes only while its text stays within the capacity
// that the control gives when the command begins (TextCapacity.h: memory, mostly). A
// piece that does not fit is taken up to its last whole line that does; the rest, and
// every write after it until the next command, is refused, and the running command is
// asked to stop, as by the Stop button. The window tells the user once the command has
// ended.

#include <cstddef>
#include <cstdint>
#include <string>

#include "formula/EditorText.h"
#include "text/TextCapacity.h"

class MemoControl;

class ControlEditorText final : public lumenark::EditorText {
 public:
  explicit ControlEditorText(MemoControl& control);

  std::size_t SelectionStart() const override;
  std::size_t SelectionLength() const override;
  std::string SelectedText() const override;
  void SetSelectionStart(std::size_t n) override;
  void SetSelectionLength(std::size_t n) override;
  // Collected until the next flush; an empty text removes the selection at once.
  void ReplaceSelection(std::string_view text) override;
  void SetVisible(bool visible) override;

  enum class FlushMode {
    All,           // everything collected
    WholeBreaks,   // all but a final CR, whose LF may still follow
  };
  // Hands the collected writes to the control, replacing its selection if it has one;
  // the caret then stands behind them.
  void Flush(FlushMode mode = FlushMode::All);
  bool HasPendingWrites() const { return !pending_.empty(); }
  std::size_t PendingSize() const { return pending_.size(); }

  // A command begins: its writes make a new step to undo, and its capacity is taken.
  void BeginCommand();
  // The command has ended, and everything it wrote is in the control.
  void EndCommand();
  // Whether writes were refused since the command began, for want of capacity.
  bool Overflowed() const { return overflowed_; }

  std::size_t EnginePosition(int controlPosition) const;
  int ControlPosition(std::size_t enginePosition) const;

 private:
  // The queries flush first; the text they see is the engine's, written or collected.
  void FlushForQuery() const { const_cast<ControlEditorText*>(this)->Flush(); }
  // How many of the first count collected bytes the control can take.
  std::size_t FittingCount(std::size_t count) const;

  MemoControl& control_;
  std::string pending_;  // engine bytes written at the caret, not yet in the control
  TextCapacity capacity_;
  bool overflowed_ = false;
  bool joinsUndoStep_ = false;  // a piece of the running command is in the text
  int outputLines_ = 0;         // the line breaks the running command has written
};
