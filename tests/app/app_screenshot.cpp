// Builds the workbench as a user would leave it after a short session (two editor
// windows, one with a derivation, the options panel open in the other) and keeps it
// on the screen for a few seconds, for a screenshot:
//
//   xvfb-run -a -s "-screen 0 1280x900x24" sh -c 'build/bin/app_screenshot & sleep 3;
//     import -window root shot.png; wait'

#include <QApplication>
#include <QMdiArea>
#include <QTimer>

#include "ApplicationGlobals.h"
#include "ProgramPicture.h"
#include "TestSupport.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(ApplicationTitle());
  QApplication::setWindowIcon(QIcon(ProgramPicture()));
  Workbench bench;

  TEditForm* notes = bench.NewEditor("Notes for the derivation\r\n(A>B)&(B>C)>(A>C)\r\n");
  notes->Format1Click();
  TEditForm* derivation = bench.NewEditor("(A>B)&(B>C)>(A>C)");
  derivation->Document().DetailLevel = 1;
  derivation->Memo1()->selectAll();
  derivation->Decision1Click();
  bench.frame().Tile1Click();
  bench.frame().Timer1Timer();
  const QStringList options = QApplication::arguments();
  if (options.contains(QStringLiteral("--about"))) bench.frame().About2Click();
  if (options.contains(QStringLiteral("--stop"))) bench.form2().show();

  QTimer::singleShot(6000, &application, &QApplication::quit);
  return QApplication::exec();
}
