// Proofs and checks in the window: Tableau, Equivalence and DIMACS from their keys, a
// tableau exported to LaTeX as a tree, File > Import DIMACS..., no key taken twice in
// the menu bar, and the keys back with the window after the stop dialog took them.

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "TestSupport.h"
#include "runtime/EngineGlobals.h"

namespace {

// Every action of a menu and its submenus.
void CollectActions(const QMenu* menu, QList<QAction*>& actions) {
  for (QAction* action : menu->actions()) {
    if (action->menu() != nullptr) CollectActions(action->menu(), actions);
    else actions.append(action);
  }
}

}  // namespace

class ProofsTests : public QObject {
  Q_OBJECT

 private slots:
  void proofsRunFromTheirKeys();
  void tableauExportsAsATree();
  void importDimacsInsertsTheFormulaSelected();
  void importDialogOffersDimacsFilesFirst();
  void importDimacsShowsWhatIsWrong();
  void noTwoItemsTakeTheSameKey();
  void keysReachTheWindowAfterTheStopDialogTookThem();
};

void ProofsTests::proofsRunFromTheirKeys() {
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = bench.NewEditor("A|B>B|A\r\n~(A&B)\r\n~A|~B");
  SelectText(*editor, "A|B>B|A");
  QTest::keyClick(editor->Memo1(), Qt::Key_B, Qt::ControlModifier | Qt::ShiftModifier);
  QTest::keyClick(editor->Memo1(), Qt::Key_X, Qt::ControlModifier | Qt::ShiftModifier);
  SelectText(*editor, "~(A&B)\r\n~A|~B");
  QTest::keyClick(editor->Memo1(), Qt::Key_Q, Qt::ControlModifier | Qt::ShiftModifier);
  QCOMPARE(TextOf(*editor), std::string("A|B>B|A\r\nAll branches close: the formula is valid.\r\n"
                                        "c CNF of the formula\r\nc 1 = A\r\nc 2 = B\r\np cnf 2 0\r\n"
                                        "\r\n~(A&B)\r\n~A|~B\r\nThese formulas are equivalent.\r\n"));
  QVERIFY(dialogs.messages.isEmpty());
  QVERIFY(!bench.form2().isVisible());
  QVERIFY(!lumenark::StopRequested);
  // Equivalence wants two formulas.
  SelectText(*editor, "A|B>B|A");
  QTest::keyClick(editor->Memo1(), Qt::Key_Q, Qt::ControlModifier | Qt::ShiftModifier);
  QCOMPARE(dialogs.messages, QStringList{"Select two formulas, one on each line."});
}

void ProofsTests::tableauExportsAsATree() {
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = bench.NewEditor("(A>B)&(B>C)>(A>C)");
  editor->Document().DetailLevel = 1;
  editor->Memo1()->selectAll();
  MenuItem(bench.frame(), "Tableau1")->trigger();
  QVERIFY(TextOf(*editor).ends_with("11. C                    5, >\r\nclosed: 7, 11\r\nAll branches close: the formula is valid.\r\n"));
  QTemporaryDir directory;
  const QString tex = directory.filePath(QStringLiteral("tree.tex"));
  dialogs.saveAnswers.push_back(tex);
  MenuItem(bench.frame(), "ExportLatex1")->trigger();
  QFile file(tex);
  QVERIFY(file.open(QIODevice::ReadOnly));
  const QByteArray written = file.readAll();
  // The trunk, a fork, a closed side branch, and the rest.
  QVERIFY(written.contains("\\texttt{7}.\\ $\\neg C$\\ {\\scriptsize(\\texttt{3,~}$\\neg{\\rightarrow}$)} \\\\\n"
                           "\\begin{tabular}[t]{c|c}\n\\hline\n\\begin{tabular}[t]{@{}c@{}}\n"
                           "\\texttt{8}.\\ $\\neg A$\\ {\\scriptsize(\\texttt{4,~}${\\rightarrow}$)} \\\\\n"
                           "$\\times$ \\texttt{6,~8} \\\\\n"));
  QVERIFY(written.contains("\\texttt{All~branches~close:~the~formula~is~valid.}\\par\n"));
  // Only the file named, and its PDF where pdflatex is installed: no .aux or .log beside.
  const bool pdflatex = !QStandardPaths::findExecutable(QStringLiteral("pdflatex")).isEmpty();
  const QStringList expected = pdflatex ? QStringList{"tree.pdf", "tree.tex"} : QStringList{"tree.tex"};
  QCOMPARE(QDir(directory.path()).entryList(QDir::Files, QDir::Name), expected);
  QVERIFY(dialogs.warnings.isEmpty());
}

// The formula goes on a line of its own after the caret's line, selected: the next
// command works on it.
void ProofsTests::importDimacsInsertsTheFormulaSelected() {
  Workbench bench;
  ScriptedDialogs dialogs;
  QTemporaryDir directory;
  const QString path = directory.filePath(QStringLiteral("exercise.cnf"));
  WriteBytes(path, "c from a solver\r\np cnf 3 2\r\n1 -3 0\r\n-1 2 3 0\r\n");
  TEditForm* editor = bench.NewEditor("Exercise 4\r\nnext");
  Select(*editor, 5, 0);  // within the first line: the formula goes after it
  dialogs.dimacsAnswers.push_back(path);
  MenuItem(bench.frame(), "ImportDimacs1")->trigger();
  QCOMPARE(TextOf(*editor), std::string("Exercise 4\r\n(A|~C)&(~A|B|C)\r\nnext"));
  QCOMPARE(editor->Memo1()->textCursor().selectedText(), QStringLiteral("(A|~C)&(~A|B|C)"));
  QVERIFY(editor->Memo1()->document()->isModified());
  QTest::keyClick(editor->Memo1(), Qt::Key_F8);
  QCOMPARE(TextOf(*editor), std::string("Exercise 4\r\n(A|~C)&(~A|B|C)\r\nThis formula is consistent.Its models can be "
                                        "expressed as DNF:\r\nA&B|A&C|~A&~C|B&~C\r\n\r\nnext"));
  QVERIFY(dialogs.messages.isEmpty());
  QVERIFY(dialogs.errors.isEmpty());
}

// The dialog of File > Import DIMACS... offers DIMACS files first, then all files.
void ProofsTests::importDialogOffersDimacsFilesFirst() {
  QStringList offered;
  ModalScript script({[&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    if (dialog == nullptr) return false;
    const auto* kinds = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    for (int i = 0; kinds != nullptr && i < kinds->count(); ++i) offered << kinds->itemText(i);
    dialog->reject();
    return true;
  }});
  QCOMPARE(StandardDialogs().dimacsFileName(nullptr), QString());
  QVERIFY(script.Done());
  QCOMPARE(offered, (QStringList{"DIMACS files (*.cnf *.dimacs)", "All files (*.*)"}));
}

void ProofsTests::importDimacsShowsWhatIsWrong() {
  Workbench bench;
  ScriptedDialogs dialogs;
  QTemporaryDir directory;
  const QString wrong = directory.filePath(QStringLiteral("wrong.cnf"));
  WriteBytes(wrong, "p cnf 3 1\n1 2 x 0\n");
  TEditForm* editor = bench.NewEditor("text");
  dialogs.dimacsAnswers = {wrong, directory.filePath(QStringLiteral("missing.cnf")), QString()};
  for (int i = 0; i < 3; ++i) MenuItem(bench.frame(), "ImportDimacs1")->trigger();
  QCOMPARE(dialogs.messages, QStringList{"wrong.cnf: Line 2: \"x\" is not a number."});
  QCOMPARE(dialogs.errors.size(), 1);
  QVERIFY(dialogs.errors[0].startsWith(QStringLiteral("Cannot open file ")));
  QCOMPARE(TextOf(*editor), std::string("text"));
  QVERIFY(!editor->Memo1()->document()->isModified());
}

// Two items with one key in a window: neither would fire (Qt's ambiguous shortcut).
void ProofsTests::noTwoItemsTakeTheSameKey() {
  Workbench bench;
  bench.NewEditor();
  QList<QAction*> actions = bench.frame().actions();
  for (QAction* menu : bench.frame().menuBar()->actions()) CollectActions(menu->menu(), actions);
  QMap<QString, QString> taken;
  for (QAction* action : actions) {
    for (const QKeySequence& key : action->shortcuts()) {
      const QString name = key.toString();
      QVERIFY2(!taken.contains(name), qPrintable(name + ": " + taken.value(name) + " and " + action->objectName()));
      taken.insert(name, action->objectName());
    }
  }
  QVERIFY(taken.contains(QStringLiteral("Ctrl+Shift+B")));
}

// The stop dialog may take the keyboard while a long command shows it (a click on it,
// or a window system that activates what it shows). Once the command has hidden it, the
// keyboard is the window's again, so the next key reaches its menu item; with no window
// manager to hand it back, no window would have it.
void ProofsTests::keysReachTheWindowAfterTheStopDialogTookThem() {
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = bench.NewEditor("(A=B=C=D=E=F=G=H=I=J=K=L=M)=(M=L=K=J=I=H=G=F=E=D=C=B=A)");
  WaitUntil([&] { return editor->isActiveWindow(); });
  editor->Memo1()->selectAll();
  // While the command runs: the dialog takes the keyboard, and then has it.
  bool taken = false;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (!bench.form2().isVisible()) return;
    bench.form2().activateWindow();
    taken = taken || QApplication::activeWindow() == &bench.form2();
  });
  watch.start(1);
  QTest::keyClick(editor->Memo1(), Qt::Key_B, Qt::ControlModifier | Qt::ShiftModifier);  // Tableau, some 300 ms
  watch.stop();
  QVERIFY(taken);
  QVERIFY(!bench.form2().isVisible());
  WaitUntil([&] { return editor->isActiveWindow(); });
  QTest::keyClick(editor->Memo1(), Qt::Key_F9, Qt::ShiftModifier);  // Decompile
  QVERIFY(TextOf(*editor).ends_with("valid.\r\nA=B=C=D=E=F=G=H=I=J=K=L=M=M=L=K=J=I=H=G=F=E=D=C=B=A\r\n"));
}

QTEST_MAIN(ProofsTests)
#include "app_proofs_tests.moc"
