// The Formula menu in a window: what commands write, the text hidden while results are
// off, every long command stopped through the stop dialog, a selection of megabytes,
// the guard that keeps a running command's window in place, and a large print into
// the window.

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QWindow>
#include <QTimer>
#include <QPointer>

#include "TestSupport.h"
#include "commands/CommandFrame.h"
#include "dialogs/HelpWindow.h"
#include "editor/OptionsPanel.h"
#include "formula/BackgroundDisposal.h"
#include "runtime/EngineGlobals.h"
#include "runtime/MemoryBudget.h"
#include "text/MemoryEditorText.h"

Q_DECLARE_METATYPE(std::string)

namespace {

constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";

// (a&b)|(c&d)|... with pairs of letters (inner '&', outer '|'): its conjunctive normal
// form has 2^pairs clauses; with '|' and '&' exchanged, its disjunctive normal form.
std::string PairsFormula(int pairs, char inner = '&', char outer = '|') {
  std::string formula;
  for (int i = 0; i < pairs; ++i) {
    if (i > 0) formula += outer;
    formula += std::string("(") + kLetters[2 * i] + inner + kLetters[2 * i + 1] + ')';
  }
  return formula;
}

// A formula whose minimal CNF takes tens of seconds and gigabytes (a million clauses
// of twenty literals, each pair of them offered to absorption), far longer than the
// two clock ticks that the tests wait for before they act, on any machine; they end it
// with Stop.
const std::string kLongFormula = PairsFormula(20);

// (a&1|b&0)|... : at Details "Comment + evaluations" every one of its constants writes
// the whole formula again, some hundred megabytes in all.
std::string ConstantsFormula(int terms) {
  std::string formula = "(a&1|b&0)";
  for (int i = 1; i < terms; ++i) formula += "|(a&1|b&0)";
  return formula;
}

// About megabytes of text: (x&~y>z)|... with letters from a fixed pseudo-random
// sequence.
std::string MegabyteFormula(int megabytes) {
  std::string formula;
  std::uint32_t state = 1;
  auto letter = [&] {
    state = state * 1103515245u + 12345u;
    return kLetters[(state >> 16) % 52];
  };
  while (formula.size() < static_cast<std::size_t>(megabytes) * 1000 * 1000) {
    if (!formula.empty()) formula += '|';
    formula += std::string("(") + letter() + "&~" + letter() + '>' + letter() + ')';
  }
  return formula;
}

// How many constants a tree holds.
int Constants(const lumenark::FormulaNode* node) {
  if (node == nullptr) return 0;
  return (lumenark::IsConstant(node) ? 1 : 0) + Constants(node->left) + Constants(node->right);
}

// The window still works: typed text goes in, and a short command on it writes its
// result.
bool WindowIsUsable(TEditForm& editor) {
  editor.Document().DetailLevel = 4;
  editor.Memo1()->moveCursor(QTextCursor::End);
  QTest::keyClicks(editor.Memo1(), QStringLiteral(" A|B&C"));
  const std::size_t end = TextOf(editor).size();
  Select(editor, end - 5, 5);
  editor.Conjunctive1Click();
  return TextOf(editor).substr(end) == "\r\n(A|B)&(A|C)\r\n" && !editor.Memo1()->isReadOnly();
}

// Lets trees go on the disposer thread, as the program does, while alive.
class DisposalInBackground {
 public:
  DisposalInBackground() { lumenark::SetBackgroundDisposal(true); }
  ~DisposalInBackground() {
    lumenark::WaitForBackgroundDisposal();
    lumenark::SetBackgroundDisposal(false);
  }
};

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

}  // namespace

class CommandTests : public QObject {
  Q_OBJECT

 private slots:
  void typicalRequestWritesTheOverviewsLines();
  void compileAndTreeWantASelection();
  void analysesRunFromTheirKeysAndExportAsLatex();
  void largeTruthTableStopsAtTheTextCapacity();
  void resultsOffHidesTheTextWhileTheCommandRuns();
  void decisionWritesItsVerdictWithResultsOff();
  void stopEndsEveryLongCommand_data();
  void stopEndsEveryLongCommand();
  void megabyteSelectionCompilesOrFails_data();
  void megabyteSelectionCompilesOrFails();
  void runningCommandKeepsItsWindowInPlace();
  void runningCommandShowsItsWindowBusy();
  void saveAndCloseWaitForTheCommand_data();
  void saveAndCloseWaitForTheCommand();
  void fullTextStopsTheCommand_data();
  void fullTextStopsTheCommand();
  void largePrintIsWrittenInPieces();
  void memoryBudgetEndsTheCommandAndLosesNothing();
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

// The analyses after the Formula menu's separator answer their keys, write at the caret
// and keep the tree; File > Export as LaTeX... writes the file (and its PDF where
// pdflatex is installed).
void CommandTests::analysesRunFromTheirKeysAndExportAsLatex() {
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = bench.NewEditor("A>B");
  editor->Document().DetailLevel = 1;
  SelectText(*editor, "A>B");
  QTest::keyClick(editor->Memo1(), Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
  QTest::keyClick(editor->Memo1(), Qt::Key_M, Qt::ControlModifier | Qt::ShiftModifier);
  QTest::keyClick(editor->Memo1(), Qt::Key_K, Qt::ControlModifier | Qt::ShiftModifier);
  QTest::keyClick(editor->Memo1(), Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
  QCOMPARE(TextOf(*editor), std::string("A>B\r\nA B  A>B\r\n0 0   1\r\n0 1   1\r\n1 0   0\r\n1 1   1\r\n"
                                        "Model: A=0 B=0\r\nCountermodel: A=1 B=0\r\n$A \\rightarrow B$\r\n"));
  QVERIFY(dialogs.messages.isEmpty());
  QVERIFY(!bench.form2().isVisible());

  QTemporaryDir directory;
  const QString tex = directory.filePath(QStringLiteral("derivation.tex"));
  dialogs.saveAnswers.push_back(tex);
  MenuItem(bench.frame(), "ExportLatex1")->trigger();
  QCOMPARE(dialogs.savePresets, QStringList{QStringLiteral("Untitled.tex")});
  QFile file(tex);
  QVERIFY(file.open(QIODevice::ReadOnly));
  const QByteArray written = file.readAll();
  QVERIFY(written.startsWith("% Exported by Lumenark."));
  QVERIFY(written.contains("\\begin{longtable}{cc|c}\n$A$ & $B$ & $A \\rightarrow B$ \\\\\n"));
  QVERIFY(written.contains("\\texttt{Countermodel:~A=1~B=0}\\par\n$A \\rightarrow B$\\par\n"));
  if (!QStandardPaths::findExecutable(QStringLiteral("pdflatex")).isEmpty()) {
    QVERIFY(QFileInfo::exists(directory.filePath(QStringLiteral("derivation.pdf"))));
  }
  QVERIFY(dialogs.warnings.isEmpty());
  QVERIFY(dialogs.unexpected.isEmpty());
}

// A table of 2^25 rows fills the text with whole rows and stops there; the tree stays.
void CommandTests::largeTruthTableStopsAtTheTextCapacity() {
  Workbench bench;
  ScriptedDialogs dialogs;
  const std::string formula = "A|B|C|D|E|F|G|H|I|J|K|L|M|N|O|P|Q|R|S|T|U|V|W|X|Y";
  TEditForm* editor = bench.NewEditor(formula);
  editor->Memo1()->SetCapacity(TextCapacity{.lines = 5000});
  editor->Memo1()->selectAll();
  MenuItem(bench.frame(), "TruthTable1")->trigger();
  QCOMPARE(dialogs.errors, QStringList{"Text exceeds memo capacity."});
  const std::string text = TextOf(*editor);
  QVERIFY(editor->Memo1()->document()->blockCount() <= 5000);
  // The formula, its numbered heading's formula, the heading, then whole rows.
  const auto lines = std::count(text.begin(), text.end(), '\n');
  std::string last;
  for (int bit = 24; bit >= 0; --bit) last += std::string(bit == 24 ? "" : " ") + (((lines - 4) >> bit) & 1 ? "1" : "0");
  QVERIFY2(text.ends_with("\n" + last + "  1\r\n"), text.substr(text.size() - 200).c_str());
  QVERIFY(editor->Document().Root != nullptr);
  QVERIFY(!lumenark::StopRequested);
  QVERIFY(!bench.form2().isVisible());
  editor->Memo1()->SetCapacity(std::nullopt);
  QVERIFY(WindowIsUsable(*editor));
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

enum class StopShows { TreeDiscarded, ConstantsLeft, PrintCut };
Q_DECLARE_METATYPE(StopShows)

void CommandTests::stopEndsEveryLongCommand_data() {
  QTest::addColumn<QString>("item");
  QTest::addColumn<std::string>("formula");
  QTest::addColumn<int>("details");
  QTest::addColumn<StopShows>("shows");  // how the stopped command differs from a finished one
  const std::string dual = PairsFormula(18, '|', '&');
  // Multiplied out directly (Details 4), 2^24 clauses take seconds and gigabytes; the
  // click comes after half a second, a few hundred megabytes in.
  const std::string longConversion = PairsFormula(24);
  const std::string longDual = PairsFormula(24, '|', '&');
  QTest::newRow("Evaluate") << "Evaluate1" << ConstantsFormula(3000) << 0 << StopShows::ConstantsLeft;
  QTest::newRow("Conjunctive") << "Conjunctive1" << longConversion << 4 << StopShows::TreeDiscarded;
  QTest::newRow("Disjunctive") << "Disjunctive1" << longDual << 4 << StopShows::TreeDiscarded;
  QTest::newRow("Minimal CNF") << "MinimalCNF1" << kLongFormula << 4 << StopShows::TreeDiscarded;
  QTest::newRow("Minimal DNF") << "MinimalDNF1" << dual << 4 << StopShows::TreeDiscarded;
  QTest::newRow("Decision") << "Decision1" << longDual << 4 << StopShows::TreeDiscarded;
  // Ten megabytes, so that printing outlasts the wait before the click even where the
  // window takes its output at the engine's pace.
  QTest::newRow("Decompile") << "Decompile2" << MegabyteFormula(10) << 4 << StopShows::PrintCut;
}

// Stop is clicked at the first tick of the frame's clock while the stop dialog is up,
// which comes only while the command lets the window system run: the command ends, and
// the window works as before. How soon it answers is measured in bench/ (window_bench).
void CommandTests::stopEndsEveryLongCommand() {
  QFETCH(QString, item);
  QFETCH(std::string, formula);
  QFETCH(int, details);
  QFETCH(StopShows, shows);
  DisposalInBackground disposal;
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = bench.NewEditor(formula);
  editor->Document().DetailLevel = static_cast<std::uint16_t>(details);
  editor->Memo1()->selectAll();
  // Decompile prints the tree the window has, where Compile left the caret: on a line
  // of its own. (Text inserted into a line of megabytes would have the control lay out
  // that whole line again for every piece.)
  if (shows == StopShows::PrintCut) editor->Cmpile1Click();
  // The window shows its text before the command, as on a screen: the control lays out
  // a line when it first draws it, a line of megabytes in most of a second.
  QApplication::processEvents();
  // The clock writes the time at each tick; cleared now, it has written it again by the
  // tick in the command.
  bench.frame().StatusPanel(0)->clear();
  bool clockRan = false;
  bool clicked = false;
  auto* clock = bench.frame().findChild<QTimer*>(QStringLiteral("Timer1"));
  QObject::connect(clock, &QTimer::timeout, &bench.frame(), [&] {
    if (clicked || !bench.form2().isVisible()) return;
    clicked = true;
    clockRan = !bench.frame().StatusPanel(0)->text().isEmpty();
    QTest::mouseClick(bench.form2().Button1(), Qt::LeftButton);
  });
  MenuItem(bench.frame(), item)->trigger();
  QVERIFY2(clicked, "the clock never ticked while the stop dialog was up");
  QVERIFY(clockRan);  // the status bar kept running during the command
  QVERIFY(!bench.form2().isVisible());
  QVERIFY(!lumenark::StopRequested);
  QVERIFY(!editor->CommandRunning());
  QVERIFY(editor->Memo1()->isVisible());
  switch (shows) {
    case StopShows::TreeDiscarded:
      QVERIFY(editor->Document().Root == nullptr);
      QVERIFY(TextOf(*editor) == formula + "\r\n");  // no result, no verdict
      break;
    case StopShows::ConstantsLeft:
      QVERIFY(Constants(editor->Document().Root) > 0);
      break;
    case StopShows::PrintCut:
      QVERIFY(TextOf(*editor).size() < 2 * formula.size());
      break;
  }
  QVERIFY(dialogs.messages.isEmpty());
  QVERIFY(WindowIsUsable(*editor));
}

void CommandTests::megabyteSelectionCompilesOrFails_data() {
  QTest::addColumn<QString>("item");
  QTest::addColumn<bool>("wellFormed");
  QTest::addColumn<QStringList>("messages");
  QTest::addColumn<std::string>("written");  // behind the selection
  QTest::newRow("Compile") << "Cmpile1" << true << QStringList() << std::string("\r\n");
  QTest::newRow("Compile, a bracket missing at the end")
      << "Cmpile1" << false << QStringList{"Missing right bracket."} << std::string();
  QTest::newRow("Tree") << "DecompileTree" << true << QStringList{"Formula too large for a tree diagram."}
                        << std::string("\r\n");
}

// A selection of 5 MB compiles into a tree, or fails with the parser's message and
// keeps the tree the window had; the tree diagram refuses it. Nothing but the line
// break of a compiled formula is written, and the window works as before.
void CommandTests::megabyteSelectionCompilesOrFails() {
  QFETCH(QString, item);
  QFETCH(bool, wellFormed);
  QFETCH(QStringList, messages);
  QFETCH(std::string, written);
  std::string formula = MegabyteFormula(5);
  if (!wellFormed) formula.pop_back();
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = bench.NewEditor("p\r\n" + formula);
  Select(*editor, 0, 1);
  editor->Cmpile1Click();
  const lumenark::FormulaNode* before = editor->Document().Root;
  const std::string text = TextOf(*editor);
  Select(*editor, text.size() - formula.size(), formula.size());
  QElapsedTimer clock;
  clock.start();
  MenuItem(bench.frame(), item)->trigger();
  qInfo("%s of %zu bytes took %lld ms", qPrintable(item), formula.size(), static_cast<long long>(clock.elapsed()));
  QCOMPARE(dialogs.messages, messages);
  QVERIFY(TextOf(*editor) == text + written);
  if (wellFormed) QVERIFY(editor->Document().Root != before && !lumenark::IsLiteral(editor->Document().Root));
  else QVERIFY(editor->Document().Root == before);
  QVERIFY(WindowIsUsable(*editor));
}

// While the command runs (it processes pending input), everything that would pull the
// document away or change the text of its window does nothing (saving and closing
// wait for the end of the command, see below); the rest works.
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
  WaitUntil([&] { return bench.frame().ClientArea()->subWindowList().size() == 1; });
  QCOMPARE(bench.frame().ClientArea()->subWindowList().size(), 1);
}

void CommandTests::saveAndCloseWaitForTheCommand_data() {
  QTest::addColumn<QStringList>("requests");  // made while the command runs, in order
  QTest::addColumn<bool>("saved");            // the file holds the text with the result
  QTest::addColumn<int>("prompts");           // save prompts asked (answered No)
  QTest::addColumn<int>("windows");           // editor windows in the frame afterwards
  QTest::addColumn<bool>("frameOpen");
  QTest::newRow("Ctrl+S") << QStringList{"Ctrl+S"} << true << 0 << 2 << true;
  QTest::newRow("File > Save") << QStringList{"Save1"} << true << 0 << 2 << true;
  QTest::newRow("close box") << QStringList{"close box"} << false << 1 << 1 << true;
  QTest::newRow("File > Close") << QStringList{"Close1"} << false << 1 << 1 << true;
  QTest::newRow("Ctrl+S, then the close box") << QStringList{"Ctrl+S", "close box"} << true << 0 << 1 << true;
  QTest::newRow("the frame's close box") << QStringList{"frame"} << false << 1 << 2 << false;
  QTest::newRow("File > Exit") << QStringList{"Exit1"} << false << 1 << 2 << false;
}

// A save or a close asked for while a command runs is neither done in the middle of it
// nor dropped: it is carried out when the command has ended, a save with the result
// in the text, a close with its prompt.
void CommandTests::saveAndCloseWaitForTheCommand() {
  QFETCH(QStringList, requests);
  QFETCH(bool, saved);
  QFETCH(int, prompts);
  QFETCH(int, windows);
  QFETCH(bool, frameOpen);
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("long.txt"));
  WriteBytes(path, kLongFormula);
  Workbench bench;
  ScriptedDialogs dialogs;
  bench.NewEditor("p>q");
  dialogs.openAnswers = {path};
  bench.frame().OpenChild();
  TEditForm* editor = bench.frame().ActiveEditor();
  editor->Memo1()->selectAll();
  auto* window = qobject_cast<QMdiSubWindow*>(editor->parentWidget());
  dialogs.confirmAnswers = {QMessageBox::No, QMessageBox::No};
  bool waited = false;
  OnSecondTick(bench.frame(), [&] {
    for (const QString& request : requests) {
      if (request == "Ctrl+S") {
        QTest::keyClick(editor->Memo1(), Qt::Key_S, Qt::ControlModifier);
      }
      else if (request == "close box") window->close();
      else if (request == "frame") bench.frame().close();
      else MenuItem(bench.frame(), request)->trigger();
    }
    waited = editor->CommandRunning() && dialogs.confirms.isEmpty() && ReadBytes(path) == kLongFormula &&
             bench.frame().isVisible() && bench.frame().ClientArea()->subWindowList().size() == 2;
    QTest::mouseClick(bench.form2().Button1(), Qt::LeftButton);
  });
  const QPointer<TEditForm> running = editor;
  MenuItem(bench.frame(), "MinimalCNF1")->trigger();
  QVERIFY(waited);
  // What was asked is carried out in turn once the command has ended.
  LetQueuedEventsRun();
  WaitUntil([&] { return running == nullptr || !running->InputWaiting(); });
  LetQueuedEventsRun();  // the window that closed goes
  QCOMPARE(dialogs.confirms.size(), prompts);
  QCOMPARE(bench.frame().ClientArea()->subWindowList().size(), windows);
  QCOMPARE(bench.frame().isVisible(), frameOpen);
  const std::string file = ReadBytes(path);
  QCOMPARE(file != kLongFormula, saved);
  if (saved && windows == 2) QVERIFY(file == TextOf(*editor));
  QVERIFY(dialogs.unexpected.isEmpty());
}

// While a command runs, the pointer over the frame and over the command's text is the
// wait cursor (the other windows' texts keep the I-beam: they can be typed into), and
// the status bar says "Busy" while that window is the active one.
void CommandTests::runningCommandShowsItsWindowBusy() {
  Workbench bench;
  TEditForm* other = bench.NewEditor("p>q");
  TEditForm* editor = bench.NewEditor(kLongFormula);
  editor->Memo1()->selectAll();
  QWidget* window = editor->parentWidget();
  const QLabel* note = bench.frame().StatusPanel(3);
  QStringList seen;
  Qt::CursorShape frameCursor = Qt::ArrowCursor;
  // The pointer the window system shows over the running command's text.
  auto shown = [&] {
    QTest::mouseMove(editor->Memo1()->viewport(), QPoint(30, 30));
    return bench.frame().windowHandle()->cursor().shape();
  };
  Qt::CursorShape overText = Qt::ArrowCursor;
  auto look = [&](TEditForm* form) {
    return QStringLiteral("%1 %2 '%3'")
        .arg(form->parentWidget()->cursor().shape())
        .arg(form->Memo1()->viewport()->cursor().shape())
        .arg(note->text());
  };
  OnSecondTick(bench.frame(), [&] {
    seen.append(look(editor));
    frameCursor = bench.frame().cursor().shape();
    overText = shown();
    auto activate = [&bench](TEditForm* form) {
      bench.frame().ClientArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(form->parentWidget()));
    };
    activate(other);
    seen.append(look(other));
    activate(editor);
    seen.append(look(editor));
    QTest::mouseClick(bench.form2().Button1(), Qt::LeftButton);
  });
  MenuItem(bench.frame(), "MinimalCNF1")->trigger();
  const QString busy = QStringLiteral("%1 %1 'Busy'").arg(Qt::WaitCursor);
  QCOMPARE(seen, (QStringList{busy, QStringLiteral("%1 %2 ''").arg(Qt::WaitCursor).arg(Qt::IBeamCursor), busy}));
  QCOMPARE(look(editor), QStringLiteral("%1 %2 ''").arg(Qt::ArrowCursor).arg(Qt::IBeamCursor));
  QVERIFY(!window->testAttribute(Qt::WA_SetCursor));
  QCOMPARE(frameCursor, Qt::WaitCursor);
  QCOMPARE(bench.frame().cursor().shape(), Qt::ArrowCursor);
  QCOMPARE(overText, Qt::WaitCursor);
  QCOMPARE(shown(), Qt::IBeamCursor);
}

void CommandTests::fullTextStopsTheCommand_data() {
  QTest::addColumn<int>("bytes");
  QTest::addColumn<int>("lines");
  QTest::newRow("bytes") << 20000 << 1000000;
  QTest::newRow("lines") << 1000000 << 300;
}

// A derivation that does not fit into the text control fills it with whole lines of
// what the command writes, and the command stops there, as by the Stop button; the
// user is told once it has ended, and the next command runs as usual.
void CommandTests::fullTextStopsTheCommand() {
  QFETCH(int, bytes);
  QFETCH(int, lines);
  const std::string formula = PairsFormula(8);
  lumenark::MemoryEditorText memory(formula);
  NoHost host;
  lumenark::FormulaDocument reference(memory, host);
  reference.DetailLevel = 1;
  memory.SelectAll();
  lumenark::OutputColumn = 0;
  lumenark::RunFormulaCommand(reference, lumenark::FormulaCommand::MinimalCNF);
  const std::string whole = memory.Text();
  const auto wholeLines = std::count(whole.begin(), whole.end(), '\n') + 1;
  QVERIFY(whole.size() > 2 * static_cast<std::size_t>(bytes) || wholeLines > 2 * lines);  // far too long

  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = bench.NewEditor(formula);
  editor->Memo1()->SetCapacity(TextCapacity{.bytes = static_cast<std::size_t>(bytes), .lines = static_cast<std::size_t>(lines)});
  editor->Document().DetailLevel = 1;
  editor->Memo1()->selectAll();
  lumenark::OutputColumn = 0;
  MenuItem(bench.frame(), "MinimalCNF1")->trigger();
  const std::string text = TextOf(*editor);
  QCOMPARE(dialogs.errors, QStringList{"Text exceeds memo capacity."});
  QVERIFY(text.size() <= static_cast<std::size_t>(bytes));
  QVERIFY(editor->Memo1()->document()->blockCount() <= lines);
  QVERIFY(text.size() > static_cast<std::size_t>(std::min(bytes, 40 * lines)) / 2);
  QVERIFY(whole.compare(0, text.size(), text) == 0);
  QVERIFY(text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0);
  QVERIFY(editor->Document().Root == nullptr);  // stopped before its result
  QVERIFY(!lumenark::StopRequested);
  QVERIFY(!bench.form2().isVisible());
  editor->Memo1()->SetCapacity(std::nullopt);
  QVERIFY(WindowIsUsable(*editor));
  QCOMPARE(dialogs.errors.size(), 1);
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

// A command that reaches the memory budget ends with the message; the other window's
// unsaved text is as it was, and the same window goes on working.
void CommandTests::memoryBudgetEndsTheCommandAndLosesNothing() {
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* notes = bench.NewEditor("notes");
  notes->Memo1()->moveCursor(QTextCursor::End);
  QTest::keyClicks(notes->Memo1(), " not yet saved");
  QVERIFY(notes->Memo1()->document()->isModified());
  const std::string formula = PairsFormula(24);
  TEditForm* editor = bench.NewEditor(formula);
  struct Budget {
    Budget() { lumenark::SetMemoryLimit(lumenark::MemoryInUse() + (std::uint64_t{64} << 20)); }
    ~Budget() { lumenark::SetMemoryLimit(std::nullopt); }
  } budget;

  SelectText(*editor, formula);
  MenuItem(bench.frame(), "MinimalCNF1")->trigger();
  // The box shows the limit in force below the message, as lumenark-cli does.
  const QString message = QString::fromStdString(lumenark::InsufficientMemoryText());
  QVERIFY(message.startsWith("Insuficient memory.\nThe limit is ") && message.contains(", as set; "));
  QCOMPARE(dialogs.messages, QStringList{message});
  QVERIFY(TextOf(*editor) == formula + "\r\n");
  QVERIFY(editor->Document().Root == nullptr);
  QVERIFY(!bench.form2().isVisible());
  QCOMPARE(TextOf(*notes), std::string("notes not yet saved"));
  QVERIFY(notes->Memo1()->document()->isModified());

  lumenark::WaitForBackgroundDisposal();
  Select(*editor, TextOf(*editor).size(), 0);
  QTest::keyClicks(editor->Memo1(), "(A|B)&(~A|B)");
  SelectText(*editor, "(A|B)&(~A|B)");
  MenuItem(bench.frame(), "MinimalCNF1")->trigger();
  QCOMPARE(dialogs.messages, QStringList{message});
  QVERIFY(TextOf(*editor).ends_with("(A|B)&(~A|B)\r\nB\r\n"));
}

QTEST_MAIN(CommandTests)
#include "app_command_tests.moc"
