// The Formula menu in a window: what commands write, the text hidden while results are
// off, a long command stopped through the stop dialog, the guard that keeps a running
// command's window in place, and a large print into the window.

#include <QApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "CommandFrame.h"
#include "EngineGlobals.h"
#include "HelpWindow.h"
#include "MemoryEditorText.h"
#include "OptionsPanel.h"
#include "TestSupport.h"

namespace {

// (a&b)|(c&d)|... with pairs of letters: its conjunctive normal form has 2^pairs
// clauses.
std::string PairsFormula(int pairs) {
  const std::string letters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
  std::string formula;
  for (int i = 0; i < pairs; ++i) {
    if (i > 0) formula += '|';
    formula += std::string("(") + letters[2 * i] + '&' + letters[2 * i + 1] + ')';
  }
  return formula;
}

// A formula whose minimal CNF takes seconds (about 3 s and 330 MB in a release build),
// far longer than the two clock ticks that the tests wait for before they act; they
// end it with Stop.
const std::string kLongFormula = PairsFormula(18);

// Runs action on the second tick of the frame's clock after now.
void OnSecondTick(TFrameForm& frame, std::function<void()> action) {
  auto* timer = frame.findChild<QTimer*>("Timer1");
  auto ticks = std::make_shared<int>(0);
  auto connection = std::make_shared<QMetaObject::Connection>();
  *connection = QObject::connect(timer, &QTimer::timeout, [ticks, connection, action] {
    if (++*ticks == 2) {
      QObject::disconnect(*connection);
      action();
    }
  });
}

class NoHost final : public lumenark::Host {
 public:
  void ShowMessage(std::string_view) override {}
  void ProcessPendingInput() override {}
  bool StopDialogVisible() const override { return false; }
  void SetStopDialogVisible(bool) override {}
};

}  // namespace

class CommandTests : public QObject {
  Q_OBJECT

 private slots:
  void typicalRequestWritesTheOverviewsLines();
  void compileAndTreeWantASelection();
  void resultsOffHidesTheTextWhileTheCommandRuns();
  void decisionWritesItsVerdictWithResultsOff();
  void stopEndsALongMinimalCnf();
  void runningCommandKeepsItsWindowInPlace();
  void largePrintIsWrittenInPieces();
};

void CommandTests::typicalRequestWritesTheOverviewsLines() {
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = bench.NewEditor("A|B&C");
  QTest::keyClick(editor->Memo1(), Qt::Key_T, Qt::ControlModifier);  // Edit > Format
  OptionsPanel* panel = editor->Panel1();
  QList<QRadioButton*> items = panel->RadioGroup1()->findChildren<QRadioButton*>();
  QTest::mouseClick(items[3], Qt::LeftButton, {}, QPoint(4, items[3]->height() / 2));  // "Macrosteps"
  QTest::mouseClick(panel->BitBtn1(), Qt::LeftButton);
  QCOMPARE(editor->Document().DetailLevel, 3);

  SelectText(*editor, "A|B&C");
  QTest::keyClick(editor->Memo1(), Qt::Key_F7, Qt::ControlModifier);
  QCOMPARE(TextOf(*editor), std::string("A|B&C\r\n"
                                        "Result - Global conversion to literal form:A|B&C\r\n"
                                        "Result - Conversion to CNF:(A|B)&(A|C)\r\n"
                                        "(A|B)&(A|C)\r\n"));
  QVERIFY(!bench.form2().isVisible());
  QVERIFY(!lumenark::StopRequested);
  QVERIFY(editor->Memo1()->isVisible());
  QVERIFY(dialogs.messages.isEmpty());

  // The tree is now the CNF: Minimal CNF without a selection works on it.
  QTest::keyClick(editor->Memo1(), Qt::Key_F8, Qt::ControlModifier);
  QVERIFY(TextOf(*editor).ends_with("(A|B)&(A|C)\r\n"));
}

void CommandTests::compileAndTreeWantASelection() {
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = bench.NewEditor("A&B");
  MenuItem(bench.frame(), "Cmpile1")->trigger();
  MenuItem(bench.frame(), "DecompileTree")->trigger();
  QCOMPARE(dialogs.messages, (QStringList{"No selected text.", "No selected text."}));
  QCOMPARE(TextOf(*editor), std::string("A&B"));
  QVERIFY(editor->Memo1()->isVisible());
  MenuItem(bench.frame(), "Conjunctive1")->trigger();  // no tree, no selection: nothing
  QCOMPARE(dialogs.messages.size(), 2);
  QCOMPARE(TextOf(*editor), std::string("A&B"));
  QVERIFY(!bench.form2().isVisible());
}

void CommandTests::resultsOffHidesTheTextWhileTheCommandRuns() {
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = bench.NewEditor("A|(B");
  editor->Document().ShowResults = false;
  bool visibleDuringMessage = true;
  dialogs.onMessage = [&](const QString&) { visibleDuringMessage = editor->Memo1()->isVisible(); };
  SelectText(*editor, "A|(B");
  MenuItem(bench.frame(), "Conjunctive1")->trigger();
  QCOMPARE(dialogs.messages.size(), 1);  // the parser's message
  QVERIFY(!visibleDuringMessage);
  QVERIFY(editor->Memo1()->isVisible());
  QVERIFY(editor->Memo1()->hasFocus());
  QVERIFY(!bench.form2().isVisible());
}

void CommandTests::decisionWritesItsVerdictWithResultsOff() {
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = bench.NewEditor("A|~A");
  editor->Document().ShowResults = false;
  SelectText(*editor, "A|~A");
  QTest::keyClick(editor->Memo1(), Qt::Key_F8);
  QCOMPARE(TextOf(*editor), std::string("A|~A\r\nThis formula is valid.\r\n"));
}

void CommandTests::stopEndsALongMinimalCnf() {
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = bench.NewEditor(kLongFormula);
  editor->Memo1()->selectAll();
  bool dialogShown = false;
  bool clockRan = false;
  QElapsedTimer sinceStop;
  OnSecondTick(bench.frame(), [&] {
    dialogShown = bench.form2().isVisible();
    clockRan = !bench.frame().StatusPanel(0)->text().isEmpty();
    sinceStop.start();
    QTest::mouseClick(bench.form2().Button1(), Qt::LeftButton);
  });
  bench.frame().StatusPanel(0)->clear();
  MenuItem(bench.frame(), "MinimalCNF1")->trigger();
  QVERIFY(sinceStop.isValid());
  qInfo("Stop answered after %lld ms", static_cast<long long>(sinceStop.elapsed()));
  QVERIFY(dialogShown);
  QVERIFY(clockRan);  // the status bar kept running during the command
  QVERIFY(editor->Document().Root == nullptr);  // a stopped normal form discards the tree
  QCOMPARE(TextOf(*editor), kLongFormula + "\r\n");  // no result line
  QVERIFY(!lumenark::StopRequested);
  QVERIFY(!bench.form2().isVisible());
  QVERIFY(editor->Memo1()->isVisible());
  QVERIFY(!editor->CommandRunning());

  MenuItem(bench.frame(), "MinimalCNF1")->trigger();  // no tree now: nothing happens
  QCOMPARE(TextOf(*editor), kLongFormula + "\r\n");
}

// While the command runs (it processes pending input), everything that would pull the
// document away or change the text of its window does nothing; the rest works.
void CommandTests::runningCommandKeepsItsWindowInPlace() {
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* other = bench.NewEditor("p>q");
  TEditForm* editor = bench.NewEditor(kLongFormula);
  editor->Memo1()->selectAll();
  auto* window = qobject_cast<QMdiSubWindow*>(editor->parentWidget());
  QStringList failures;
  auto check = [&](bool ok, const char* what) {
    if (!ok) failures.append(QString::fromLatin1(what));
  };
  OnSecondTick(bench.frame(), [&] {
    check(editor->CommandRunning() && TEditForm::RunningCommands() == 1, "a command is running");
    const std::string before = TextOf(*editor);
    window->close();
    editor->Close1Click();
    bench.frame().close();
    MenuItem(bench.frame(), "Exit1")->trigger();
    MenuItem(bench.frame(), "Save1")->trigger();
    MenuItem(bench.frame(), "New1")->trigger();
    MenuItem(bench.frame(), "Paste1")->trigger();
    MenuItem(bench.frame(), "Delete1")->trigger();
    MenuItem(bench.frame(), "Format1")->trigger();
    MenuItem(bench.frame(), "Cmpile1")->trigger();
    MenuItem(bench.frame(), "Decompile2")->trigger();
    QTest::keyClicks(editor->Memo1(), QStringLiteral("typed"));
    QTest::keyClick(editor->Memo1(), Qt::Key_Delete);
    check(TextOf(*editor) == before, "the text is unchanged");
    check(editor->Memo1()->isReadOnly(), "the text is read-only");
    check(bench.frame().ClientArea()->subWindowList().size() == 2, "both windows are open");
    check(bench.frame().isVisible(), "the frame is open");
    check(!editor->Panel1()->isVisible(), "the options panel stays closed");

    // Other windows, the about box and help stay usable.
    bench.frame().About2Click();
    check(bench.about().isVisible(), "the about box opens");
    bench.frame().Help1Click();
    check(bench.frame().Help()->isVisible(), "help opens");
    SelectText(*other, "p>q");
    other->Cmpile1Click();
    check(other->Document().Root != nullptr, "another window compiles");
    QTest::mouseClick(bench.form2().Button1(), Qt::LeftButton);
  });
  MenuItem(bench.frame(), "MinimalCNF1")->trigger();
  QCOMPARE(failures, QStringList());
  QVERIFY(dialogs.unexpected.isEmpty());
  QVERIFY(dialogs.confirms.isEmpty());
  QCOMPARE(bench.frame().ClientArea()->subWindowList().size(), 2);
  QVERIFY(!editor->Memo1()->isReadOnly());
  QCOMPARE(TEditForm::RunningCommands(), 0);

  // Afterwards the window closes as usual, asking first.
  dialogs.confirmAnswers = {QMessageBox::No};
  window->close();
  QTRY_COMPARE(bench.frame().ClientArea()->subWindowList().size(), 1);
}

// The engine writes a character at a time; the window receives the writes in pieces.
// LUMENARK_PRINT_CHARS sets the formula's length (1,000,000 for the figure in the
// notes); the default keeps the suite fast.
void CommandTests::largePrintIsWrittenInPieces() {
  const std::size_t length = qEnvironmentVariableIsSet("LUMENARK_PRINT_CHARS")
                                 ? qEnvironmentVariable("LUMENARK_PRINT_CHARS").toULongLong()
                                 : 200000;
  std::string formula = "a";
  while (formula.size() + 2 <= length) formula += formula.size() % 6 == 1 ? "&b" : "|c";
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = bench.NewEditor(formula);
  editor->Memo1()->selectAll();
  editor->Cmpile1Click();
  Select(*editor, 0, 0);

  QElapsedTimer printing;
  printing.start();
  editor->Decompile2Click();
  qInfo("printing %zu characters into the window took %lld ms", formula.size(),
        static_cast<long long>(printing.elapsed()));

  lumenark::MemoryEditorText memory(formula);
  NoHost host;
  lumenark::FormulaDocument reference(memory, host);
  memory.SelectAll();
  lumenark::OutputColumn = 0;
  lumenark::RunFormulaCommand(reference, lumenark::FormulaCommand::Compile);
  memory.SetSelectionStart(0);
  lumenark::OutputColumn = 0;
  lumenark::RunFormulaCommand(reference, lumenark::FormulaCommand::Decompile);
  QVERIFY(TextOf(*editor) == memory.Text());
  QCOMPARE(editor->Text().SelectionStart(), memory.SelectionStart());
  QVERIFY(dialogs.messages.isEmpty());
}

QTEST_MAIN(CommandTests)
#include "app_command_tests.moc"
