#pragma once
// The engine's Host for one editor window: its message box, the processing of pending
// input, and the stop dialog's visibility.
//
// The engine asks to process pending input at many points of its recursion, far more
// often than input can arrive. The window answers at most about every 20 ms of engine
// work (InputTicker.h counts them): often enough for the Stop button and the status bar clock to answer within a
// tenth of a second, seldom enough for the engine to keep its speed. Before it lets
// the window system run, it hands the collected output to the text control, so the
// user sees what has been written so far. Output that comes faster goes to the text
// in pieces in between, without a turn of the window system (which would draw the
// text each time): a piece takes the text a few milliseconds per hundred kilobytes,
// so that even a truth table written at the engine's full speed leaves the window
// system its turn within a few tens of milliseconds. The text is drawn at most every
// 100 ms meanwhile: drawing a screenful of it takes some milliseconds, as long as the
// engine's work between two turns, and ten pictures a second show it growing well. A
// screenful that takes long to draw (a line of megabytes, a busy machine) is drawn
// less often, and not at all once Stop has been pressed.

#include <QtGlobal>
#include <cstdint>
#include <string_view>

#include "editor/ControlEditorText.h"
#include "runtime/Host.h"

class QWidget;

class WindowHost final : public lumenark::Host {
 public:
  static constexpr qint64 kDrawIntervalMs = 100;
  // A turn that drew the text and took t lets the next drawing come after 4 t at the
  // earliest: the command keeps four fifths of the time however slow the drawing.
  static constexpr qint64 kWorkPerDrawing = 4;
  static constexpr std::size_t kLargestPiece = 256 * 1024;  // bytes of output

  WindowHost(QWidget& window, ControlEditorText& text, QWidget& textView, QWidget& stopDialog);

  void ShowMessage(std::string_view text) override;
  void ProcessPendingInput() override;
  bool StopDialogVisible() const override;
  void SetStopDialogVisible(bool visible) override;

  // Starts the interval afresh; called when a command begins (with the input ticker
  // running).
  void RestartInputInterval();
  // Draws the text whenever the window system wants it again; called when a command
  // ends.
  void DrawTextAlways();

 private:
  QWidget& window_;
  ControlEditorText& text_;
  QWidget& textView_;  // where the text is drawn
  QWidget& stopDialog_;
  std::uint32_t seenTicks_ = 0;  // the input ticker's count when input was last processed
  qint64 nextDraw_;              // when the text may be drawn again, in milliseconds
};
