#pragma once
// What the desktop tests share: a workbench (frame, about box, stop dialog) built as
// the program builds it, scripted answers for every modal box and file dialog, and
// helpers to select text and read the text of an editor window.

#include <QList>
#include <QMessageBox>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "dialogs/AboutBox.h"
#include "dialogs/StopDialog.h"
#include "dialogs/UserDialogs.h"
#include "editor/EditForm.h"
#include "frame/FrameForm.h"
#include "runtime/Host.h"

class QPrinter;

// Answers the program's boxes and dialogs from queues and records what they showed.
// A box for which no answer was queued is recorded in unexpected.
class ScriptedDialogs {
 public:
  ScriptedDialogs();
  ~ScriptedDialogs();  // the standard dialogs again

  QStringList messages;  // plain message boxes
  QStringList warnings;
  QStringList errors;    // standard error reports, as shown
  QStringList confirms;  // the questions asked
  QStringList savePresets;
  QStringList unexpected;

  std::deque<QMessageBox::StandardButton> confirmAnswers;
  std::deque<QString> openAnswers;  // empty string: cancelled
  std::deque<QString> dimacsAnswers;  // File > Import DIMACS...; empty string: cancelled
  std::deque<QString> saveAnswers;  // empty string: cancelled
  std::deque<std::optional<QFont>> fontAnswers;
  // Run in place of the print dialog and the page setup dialog: they may set up the
  // printer as a user would, and answer whether the dialog was confirmed.
  std::deque<std::function<bool(QPrinter&)>> printAnswers;
  std::deque<std::function<bool(QPrinter&)>> printSetupAnswers;
  QList<QFont> fontPresets;  // the fonts the font dialog started from
  std::function<void(const QString&)> onMessage;  // runs while a message box is up
};

// Acts on modal windows while the code under test waits in one: each step is given
// the active modal window and returns true when it has dealt with it.
class ModalScript {
 public:
  using Step = std::function<bool(QWidget* modal)>;
  explicit ModalScript(std::deque<Step> steps);
  ~ModalScript();
  bool Done() const { return steps_.empty(); }

 private:
  std::deque<Step> steps_;
  class QTimer* timer_;
};

// The program's three single windows, created in the program's order; the frame is
// shown and active.
class Workbench {
 public:
  Workbench();
  ~Workbench();

  TFrameForm& frame() { return *frame_; }
  TAboutBox& about() { return *about_; }
  TForm2& form2() { return *form2_; }

  // A new editor window holding text (CR LF line breaks), unchanged.
  TEditForm* NewEditor(const std::string& text = {});

 private:
  std::unique_ptr<TFrameForm> frame_;
  std::unique_ptr<TAboutBox> about_;
  std::unique_ptr<TForm2> form2_;
};

// Lets the window system work until the condition holds, as long as that takes: a test
// waits for the event it needs, never for a time (ctest's timeout ends a test that
// waits for an event that never comes).
void WaitUntil(const std::function<bool()>& condition);
// Lets the window system deliver what it has queued (activations, posted events), as it
// does before it hands on the user's next key; returns at once when nothing is queued.
void LetQueuedEventsRun();

// The window's text as the document holds it (CR LF line breaks).
std::string TextOf(TEditForm& editor);

// A host that shows nothing and waits for nothing, for engine runs beside the window.
class NoHost final : public lumenark::Host {
 public:
  void ShowMessage(std::string_view) override {}
  void ProcessPendingInput() override {}
  bool StopDialogVisible() const override { return false; }
  void SetStopDialogVisible(bool) override {}
};
// Selects engine positions [start, start + length) of the window's text.
void Select(TEditForm& editor, std::size_t start, std::size_t length);
// Selects the first occurrence of what in the window's text.
void SelectText(TEditForm& editor, const std::string& what);
// The names of the menus in the frame's menu bar, in order.
QStringList MenuBarNames(TFrameForm& frame);
// The item of a menu bar menu with an object name, searched in the menus of the bar.
QAction* MenuItem(TFrameForm& frame, const QString& name);

// A file's bytes; a file's bytes written.
std::string ReadBytes(const QString& path);
void WriteBytes(const QString& path, const std::string& bytes);
