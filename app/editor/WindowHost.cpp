#include "editor/WindowHost.h"

#include <QCoreApplication>
#include <QWidget>
#include <ctime>

#include "dialogs/UserDialogs.h"

namespace {

// The engine asks millions of times a second while it prints, so the time is read
// from the coarse clock: a few nanoseconds a reading instead of some twenty, with a
// resolution of a few milliseconds, ample for the interval.
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
      lastInput_(CoarseMilliseconds()),
      lastDrawn_(lastInput_) {}

// The first turn of a command draws the text as it stands.
void WindowHost::RestartInputInterval() {
  lastInput_ = CoarseMilliseconds();
  lastDrawn_ = lastInput_ - kDrawIntervalMs;
}

void WindowHost::DrawTextAlways() { textView_.setUpdatesEnabled(true); }

void WindowHost::ShowMessage(std::string_view text) {
  text_.Flush();
  DrawTextAlways();  // while the box is up
  Dialogs().message(&window_, QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

void WindowHost::ProcessPendingInput() {
  if (CoarseMilliseconds() - lastInput_ < kInputIntervalMs) {
    if (text_.PendingSize() >= kLargestPiece) text_.Flush(ControlEditorText::FlushMode::WholeBreaks);
    return;
  }
  text_.Flush(ControlEditorText::FlushMode::WholeBreaks);
  // Enabled again, the view draws itself whole at this turn.
  const bool draw = CoarseMilliseconds() - lastDrawn_ >= kDrawIntervalMs;
  textView_.setUpdatesEnabled(draw);
  QCoreApplication::processEvents();
  lastInput_ = CoarseMilliseconds();
  if (draw) lastDrawn_ = lastInput_;
}

bool WindowHost::StopDialogVisible() const { return stopDialog_.isVisible(); }

void WindowHost::SetStopDialogVisible(bool visible) {
  // Printing shows the dialog and restores it for every formula; only a change of
  // visibility needs the window system.
  if (visible == stopDialog_.isVisible()) return;
  stopDialog_.setVisible(visible);
  if (visible) stopDialog_.raise();
}
