#include "TestSupport.h"

#include <QApplication>
#include <QFile>
#include <QTimer>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include "editor/ControlEditorText.h"

namespace {

template <typename T>
std::optional<T> Next(std::deque<T>& answers) {
  if (answers.empty()) return std::nullopt;
  T answer = answers.front();
  answers.pop_front();
  return answer;
}

}  // namespace

ScriptedDialogs::ScriptedDialogs() {
  UserDialogs& dialogs = Dialogs();
  dialogs.message = [this](QWidget*, const QString& text) {
    messages.append(text);
    if (onMessage) onMessage(text);
  };
  dialogs.warning = [this](QWidget*, const QString& text) { warnings.append(text); };
  dialogs.error = [this](QWidget*, const QString& text) { errors.append(text); };
  dialogs.confirm = [this](QWidget*, const QString& text) {
    confirms.append(text);
    if (auto answer = Next(confirmAnswers)) return *answer;
    unexpected.append(QStringLiteral("confirm: ") + text);
    return QMessageBox::Cancel;
  };
  dialogs.openFileName = [this](QWidget*) {
    if (auto answer = Next(openAnswers)) return *answer;
    unexpected.append(QStringLiteral("open dialog"));
    return QString();
  };
  dialogs.dimacsFileName = [this](QWidget*) {
    if (auto answer = Next(dimacsAnswers)) return *answer;
    unexpected.append(QStringLiteral("DIMACS open dialog"));
    return QString();
  };
  dialogs.saveFileName = [this](QWidget*, const QString& preset) {
    savePresets.append(preset);
    if (auto answer = Next(saveAnswers)) return *answer;
    unexpected.append(QStringLiteral("save dialog"));
    return QString();
  };
  dialogs.latexFileName = [this](QWidget*, const QString& preset) {
    savePresets.append(preset);
    if (auto answer = Next(saveAnswers)) return *answer;
    unexpected.append(QStringLiteral("LaTeX save dialog"));
    return QString();
  };
  dialogs.font = [this](QWidget*, const QFont& initial) -> std::optional<QFont> {
    fontPresets.append(initial);
    if (auto answer = Next(fontAnswers)) return *answer;
    unexpected.append(QStringLiteral("font dialog"));
    return std::nullopt;
  };
  dialogs.print = [this](QWidget*, QPrinter& printer) {
    if (auto answer = Next(printAnswers)) return (*answer)(printer);
    unexpected.append(QStringLiteral("print dialog"));
    return false;
  };
  dialogs.printSetup = [this](QWidget*, QPrinter& printer) {
    if (auto answer = Next(printSetupAnswers)) return (*answer)(printer);
    unexpected.append(QStringLiteral("page setup dialog"));
    return false;
  };
}

ScriptedDialogs::~ScriptedDialogs() { Dialogs() = StandardDialogs(); }

ModalScript::ModalScript(std::deque<Step> steps) : steps_(std::move(steps)), timer_(new QTimer) {
  // A step waits for the window it is meant for; a window that no step is left for
  // fails the test rather than leaving it waiting: it is closed, and the test finds
  // the box it did not expect answered by nobody.
  QObject::connect(timer_, &QTimer::timeout, [this] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) return;
    if (steps_.empty()) modal->close();
    else if (steps_.front()(modal)) steps_.pop_front();
  });
  timer_->start(10);
}

ModalScript::~ModalScript() { delete timer_; }

Workbench::Workbench()
    : frame_(std::make_unique<TFrameForm>()), about_(std::make_unique<TAboutBox>()),
      form2_(std::make_unique<TForm2>()) {
  frame_->Attach(*about_, *form2_);
  frame_->show();
  frame_->activateWindow();
  WaitUntil([this] { return frame_->isActiveWindow(); });
}

Workbench::~Workbench() { frame_.reset(); }

TEditForm* Workbench::NewEditor(const std::string& text) {
  TEditForm* editor = frame_->NewChild();
  editor->Memo1()->SetDocumentText(text);
  return editor;
}

void WaitUntil(const std::function<bool()>& condition) {
  while (!condition()) {
    // Windows closed go when the loop that closed them comes round again.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (condition()) return;
    // The frame's clock ticks five times a second, so the wait wakes up even when
    // nothing else comes.
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
}

void LetQueuedEventsRun() {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

std::string TextOf(TEditForm& editor) {
  editor.Text().Flush();
  return editor.Memo1()->DocumentText();
}

void Select(TEditForm& editor, std::size_t start, std::size_t length) {
  editor.Text().SetSelectionStart(start);
  editor.Text().SetSelectionLength(length);
}

void SelectText(TEditForm& editor, const std::string& what) {
  const std::size_t start = TextOf(editor).find(what);
  Q_ASSERT(start != std::string::npos);
  Select(editor, start, what.size());
}

QStringList MenuBarNames(TFrameForm& frame) {
  QStringList names;
  for (const QAction* action : frame.menuBar()->actions()) names.append(action->objectName());
  return names;
}

namespace {

QAction* FindIn(const QList<QAction*>& actions, const QString& name) {
  for (QAction* action : actions) {
    if (action->objectName() == name) return action;
    if (action->menu() != nullptr) {
      if (QAction* found = FindIn(action->menu()->actions(), name)) return found;
    }
  }
  return nullptr;
}

}  // namespace

QAction* MenuItem(TFrameForm& frame, const QString& name) { return FindIn(frame.menuBar()->actions(), name); }

std::string ReadBytes(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return "<missing>";
  return file.readAll().toStdString();
}

void WriteBytes(const QString& path, const std::string& bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("cannot write %s", qPrintable(path));
  file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}
