// The program: the frame window, then the about box and the stop dialog, both hidden;
// no editor window at start unless files are named on the command line
// (frame/StartupArguments.h). The program ends when the frame window has closed.

#include <QApplication>
#include <QTimer>
#include <memory>

#include "Version.h"
#include "dialogs/AboutBox.h"
#include "dialogs/StopDialog.h"
#include "dialogs/UserDialogs.h"
#include "formula/BackgroundDisposal.h"
#include "frame/ApplicationGlobals.h"
#include "frame/FrameForm.h"
#include "frame/ProgramPicture.h"
#include "frame/StartupArguments.h"
#include "runtime/MemoryBudget.h"
#include "text/DocumentFile.h"

int main(int argc, char* argv[]) {
  if (const std::optional<int> status = AnswerInformationRequest(argc, argv)) return *status;
  LetWritesFailAtFileSizeLimit();
  QApplication application(argc, argv);
  const StartupArguments startup = ParseStartupArguments(QApplication::arguments().mid(1));
  if (startup.action == StartupArguments::Action::UsageError) return ReportUsageError(startup);
  QApplication::setApplicationName(ApplicationTitle());
  QApplication::setApplicationVersion(QString::fromLatin1(kLumenarkVersion));
  // Names the desktop entry, whose icon a Wayland compositor shows for the window.
  QGuiApplication::setDesktopFileName(QString::fromLatin1(kLumenarkApplicationId));
  ApplicationHelpFile() = QString::fromLatin1(kStartupHelpFile);
  QApplication::setWindowIcon(QIcon(ProgramPicture()));
  QApplication::setQuitOnLastWindowClosed(false);
  // A stopped normal form or a closed window may leave a tree of millions of nodes;
  // it is freed on a thread of its own, so that the window answers at once.
  lumenark::SetBackgroundDisposal(true);
  // Each command works within a memory budget taken from the machine when it starts,
  // unless the environment sets one (LUMENARK_MEMORY_LIMIT, for tests).
  lumenark::SetMemoryLimit(lumenark::MemoryLimitFromEnvironment());

  auto frameForm = std::make_unique<TFrameForm>();
  auto aboutBox = std::make_unique<TAboutBox>();
  auto form2 = std::make_unique<TForm2>();
  frameForm->Attach(*aboutBox, *form2);
  QObject::connect(frameForm.get(), &TFrameForm::Closed, &application, &QApplication::quit, Qt::QueuedConnection);
  frameForm->show();
  frameForm->activateWindow();  // without a window manager (Xvfb) nothing else would
  // The files of the command line open once the frame is up, so that a file that
  // cannot be opened is reported over it, as File > Open reports it.
  QTimer::singleShot(0, frameForm.get(), [&frame = *frameForm, files = startup.files] {
    // A variable that holds no size is not ignored in silence: the commands then work
    // within what the machine can spare, and the user is told at start.
    if (const std::optional<std::string> error = lumenark::MemoryLimitEnvironmentError()) {
      Dialogs().warning(&frame, QString::fromStdString(*error) +
                                    QStringLiteral(" Each command works within what the system can spare."));
    }
    OpenStartupFiles(frame, files);
  });

  const int result = QApplication::exec();
  frameForm.reset();  // the editor windows go first, with their formula trees
  return result;
}
