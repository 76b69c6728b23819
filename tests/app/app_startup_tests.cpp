// The window program's command line: what it asks for, and files named on it opening
// in editor windows exactly as File > Open opens them; the version it and the about box
// show.

#include <QDir>
#include <QLabel>
#include <QTest>

#include "TestSupport.h"
#include "Version.h"
#include "frame/StartupArguments.h"

using Action = StartupArguments::Action;
Q_DECLARE_METATYPE(StartupArguments::Action)

namespace {

// What a window shows and holds after an open, and the boxes the open showed.
struct Opened {
  QString caption;
  std::string text;
  QString fileName;
  QStringList errors;
};

Opened Describe(TEditForm& editor, const ScriptedDialogs& dialogs) {
  return {editor.windowTitle(), TextOf(editor), editor.FileName(), dialogs.errors};
}

}  // namespace

class StartupTests : public QObject {
  Q_OBJECT

 private slots:
  void argumentsAreRead_data();
  void argumentsAreRead();
  void aFileOpensAsFileOpenOpensIt_data();
  void aFileOpensAsFileOpenOpensIt();
  void filesOpenInTheirOrderFromTheWorkingDirectory();
  void theVersionIsShownBelowTheAboutBoxTexts();
};

void StartupTests::argumentsAreRead_data() {
  QTest::addColumn<QStringList>("arguments");
  QTest::addColumn<Action>("action");
  QTest::addColumn<QStringList>("files");
  QTest::addColumn<QString>("error");
  const QStringList none;
  QTest::newRow("nothing") << none << Action::OpenFiles << none << QString();
  QTest::newRow("files") << QStringList{"a.txt", "b/c.txt"} << Action::OpenFiles << QStringList{"a.txt", "b/c.txt"}
                         << QString();
  QTest::newRow("dash is a file") << QStringList{"-"} << Action::OpenFiles << QStringList{"-"} << QString();
  QTest::newRow("after --") << QStringList{"--", "--help", "-x"} << Action::OpenFiles << QStringList{"--help", "-x"}
                            << QString();
  QTest::newRow("help") << QStringList{"a.txt", "--help"} << Action::PrintHelp << QStringList{"a.txt"} << QString();
  QTest::newRow("-h") << QStringList{"-h"} << Action::PrintHelp << none << QString();
  QTest::newRow("version") << QStringList{"--version"} << Action::PrintVersion << none << QString();
  QTest::newRow("help wins") << QStringList{"--version", "--help"} << Action::PrintHelp << none << QString();
  QTest::newRow("version wins over an unknown option")
      << QStringList{"--colour", "--version"} << Action::PrintVersion << none << "unknown option --colour";
  QTest::newRow("unknown option") << QStringList{"-x", "a.txt", "-y"} << Action::UsageError << QStringList{"a.txt"}
                                  << "unknown option -x";
  QTest::newRow("version takes no value") << QStringList{"--version=2"} << Action::UsageError << none
                                          << "unknown option --version=2";
}

void StartupTests::argumentsAreRead() {
  QFETCH(QStringList, arguments);
  const StartupArguments parsed = ParseStartupArguments(arguments);
  QTEST(parsed.action, "action");
  QTEST(parsed.files, "files");
  QTEST(parsed.error, "error");
}

void StartupTests::aFileOpensAsFileOpenOpensIt_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QByteArray>("bytes");  // none: the file does not exist
  QTest::newRow("text") << "notes.txt" << QByteArray("A>B\nB>C\n");
  QTest::newRow("empty") << "empty.txt" << QByteArray("");
  QTest::newRow("missing") << "missing.txt" << QByteArray();
  QTest::newRow("directory") << "folder" << QByteArray();
}

void StartupTests::aFileOpensAsFileOpenOpensIt() {
  QFETCH(QString, name);
  QFETCH(QByteArray, bytes);
  QTemporaryDir dir;
  const QString path = dir.filePath(name);
  if (!bytes.isNull()) WriteBytes(path, bytes.toStdString());
  if (name == QLatin1String("folder")) QVERIFY(QDir(dir.path()).mkdir(name));

  Workbench viaMenu;
  ScriptedDialogs menuDialogs;
  menuDialogs.openAnswers.push_back(path);
  viaMenu.frame().OpenChild();
  const Opened expected = Describe(*viaMenu.frame().ActiveEditor(), menuDialogs);

  Workbench viaCommandLine;
  ScriptedDialogs lineDialogs;
  OpenStartupFiles(viaCommandLine.frame(), {path});
  QCOMPARE(viaCommandLine.frame().Editors().size(), 1);
  const Opened opened = Describe(*viaCommandLine.frame().ActiveEditor(), lineDialogs);
  QCOMPARE(opened.caption, expected.caption);
  QCOMPARE(opened.text, expected.text);
  QCOMPARE(opened.fileName, expected.fileName);
  QCOMPARE(opened.errors, expected.errors);
  QVERIFY(lineDialogs.unexpected.isEmpty());
}

void StartupTests::filesOpenInTheirOrderFromTheWorkingDirectory() {
  QTemporaryDir dir;
  WriteBytes(dir.filePath("first.txt"), "A&B\n");
  WriteBytes(dir.filePath("second.txt"), "A|B");
  const QString previous = QDir::currentPath();
  QVERIFY(QDir::setCurrent(dir.path()));
  Workbench bench;
  ScriptedDialogs dialogs;
  OpenStartupFiles(bench.frame(), {"first.txt", "./second.txt"});
  QDir::setCurrent(previous);

  const QList<TEditForm*> editors = bench.frame().Editors();  // from the front
  QCOMPARE(editors.size(), 2);
  QCOMPARE(editors[0], bench.frame().ActiveEditor());
  QCOMPARE(editors[0]->windowTitle(), QStringLiteral("second.txt"));
  QCOMPARE(TextOf(*editors[0]), std::string("A|B"));
  QCOMPARE(editors[0]->FileName(), dir.filePath("second.txt"));
  QCOMPARE(editors[1]->windowTitle(), QStringLiteral("first.txt"));
  QCOMPARE(TextOf(*editors[1]), std::string("A&B\r\n"));
  QCOMPARE(editors[1]->FileName(), dir.filePath("first.txt"));
  QVERIFY(dialogs.errors.isEmpty());
}

void StartupTests::theVersionIsShownBelowTheAboutBoxTexts() {
  QCOMPARE(StartupVersion(), QStringLiteral("lumenark %1\n").arg(kLumenarkVersion));
  Workbench bench;
  const auto* version = bench.about().findChild<QLabel*>("VersionLabel");
  QVERIFY(version != nullptr);
  QCOMPARE(version->text(), QStringLiteral("Version %1").arg(kLumenarkVersion));
  const QWidget* panel = version->parentWidget();
  const QRect lastText = panel->findChild<QLabel*>("Label3")->geometry();
  QVERIFY(version->geometry().top() >= lastText.bottom());
  QVERIFY(panel->contentsRect().contains(version->geometry()));
}

QTEST_MAIN(StartupTests)
#include "app_startup_tests.moc"
