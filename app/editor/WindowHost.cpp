#include "editor/WindowHost.h"

#include <QCoreApplication>
#include <QWidget>
#include <algorithm>
#include <ctime>

#include "dialogs/UserDialogs.h"
#include "editor/InputTicker.h"
#include "runtime/EngineGlobals.h"

namespace {

// The time of the turns is read from the coarse clock: a resolution of a few
// milliseconds is ample for the drawing interval.
qint64 CoarseMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
  return static_cast<qint64>(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
}

}  // namespace

WindowHost::WindowHost(QWidget& window, ControlEditorText& text, QWidget& textView, QWidget& stopDialog)
    : window_(window),
      text_(text),
      textView_(textView),
      stopDialog_(stopDialog),
      nextDraw_(CoarseMilliseconds()) {}

// The first turn of a command draws the text as it stands.
void WindowHost::RestartInputInterval() {
  seenTicks_ = InputTicker::Clock().Ticks();
  nextDraw_ = CoarseMilliseconds();
}

void WindowHost::DrawTextAlways() { textView_.setUpdatesEnabled(true); }

void WindowHost::ShowMessage(std::string_view text) {
  text_.Flush();
  DrawTextAlways();  // while the box is up
  Dialogs().message(&window_, QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

void WindowHost::ProcessPendingInput() {
  if (InputTicker::Clock().Ticks() == seenTicks_) {
    if (text_.PendingSize() >= kLargestPiece) text_.Flush(ControlEditorText::FlushMode::WholeBreaks);
    return;
  }
  text_.Flush(ControlEditorText::FlushMode::WholeBreaks);
  // Enabled again, the view draws itself whole at this turn. Not once Stop has been
  // pressed: the command then only unwinds, and it should end as soon as it can, where
  // drawing the text may take long (a line of megabytes on the screen takes a second
  // and more each time); the text is drawn when the command has ended.
  const qint64 now = CoarseMilliseconds();
  const bool draw = !lumenark::StopRequested && now >= nextDraw_;
  textView_.setUpdatesEnabled(draw);
  QCoreApplication::processEvents();
  // A drawing that took long (that line of megabytes) waits the longer for the next, so
  // that the command keeps most of the time.
  if (draw) {
    const qint64 end = CoarseMilliseconds();
    nextDraw_ = std::max(now + kDrawIntervalMs, end + kWorkPerDrawing * (end - now));
  }
  // The interval counts from the end of this turn: ticks during it are not owed.
  seenTicks_ = InputTicker::Clock().Ticks();
}

bool WindowHost::StopDialogVisible() const { return stopDialog_.isVisible(); }

void WindowHost::SetStopDialogVisible(bool visible) {
  // Printing shows the dialog and restores it for every formula; only a change of
  // visibility needs the window system.
  if (visible == stopDialog_.isVisible()) return;
  stopDialog_.setVisible(visible);
  if (visible) stopDialog_.raise();
}
