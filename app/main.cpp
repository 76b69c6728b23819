// The program: the frame window, then the about box and the stop dialog, both hidden;
// no editor window at start, and no command-line arguments read. The program ends
// when the frame window has closed.

#include <QApplication>
#include <memory>

#include "AboutBox.h"
#include "BackgroundDisposal.h"
#include "ApplicationGlobals.h"
#include "DocumentFile.h"
#include "FrameForm.h"
#include "MemoryBudget.h"
#include "ProgramPicture.h"
#include "StopDialog.h"

int main(int argc, char* argv[]) {
  LetWritesFailAtFileSizeLimit();
  QApplication application(argc, argv);
  QApplication::setApplicationName(ApplicationTitle());
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

  const int result = QApplication::exec();
  frameForm.reset();  // the editor windows go first, with their formula trees
  return result;
}
