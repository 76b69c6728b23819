#include "WindowHost.h"

#include <QCoreApplication>
#include <QWidget>

#include "UserDialogs.h"

WindowHost::WindowHost(QWidget& window, ControlEditorText& text, QWidget& stopDialog)
    : window_(window), text_(text), stopDialog_(stopDialog) {
  sinceInput_.start();
}

void WindowHost::ShowMessage(std::string_view text) {
  text_.Flush();
  Dialogs().message(&window_, QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

void WindowHost::ProcessPendingInput() {
  if (sinceInput_.elapsed() < kInputIntervalMs) return;
  text_.Flush(ControlEditorText::FlushMode::WholeBreaks);
  QCoreApplication::processEvents();
  sinceInput_.start();
}

bool WindowHost::StopDialogVisible() const { return stopDialog_.isVisible(); }

void WindowHost::SetStopDialogVisible(bool visible) {
  stopDialog_.setVisible(visible);
  if (visible) stopDialog_.raise();
}
