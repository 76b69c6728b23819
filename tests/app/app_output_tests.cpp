// What a command writes into a window, at size: one step to undo and one to redo for
// all of it; a truth table of twenty letters (45 MB, a million lines) whole in the
// text, as the engine writes it; and Stop answered while such a table streams in.

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QPushButton>
#include <QTest>
#include <QTemporaryDir>
#include <QTimer>

#include "TestSupport.h"
#include "editor/TextVersions.h"
#include "commands/CommandFrame.h"
#include "runtime/EngineGlobals.h"
#include "text/MemoryEditorText.h"

Q_DECLARE_METATYPE(std::string)

namespace {

// A&B|C&D|... over the first letters of the alphabet: its truth table has a row for
// each of the 2^letters assignments.
std::string PairsOf(int letters) {
  std::string formula;
  for (int i = 0; i < letters; ++i) {
    if (i > 0) formula += i % 2 == 0 ? '|' : '&';
    formula += static_cast<char>('A' + i);
  }
  return formula;
}

// The text the engine writes for the formula's truth table into a text of its own, the
// formula selected.
std::string TableInMemory(const std::string& formula) {
  lumenark::MemoryEditorText memory(formula);
  NoHost host;
  lumenark::FormulaDocument doc(memory, host);
  memory.SelectAll();
  lumenark::OutputColumn = 0;
  lumenark::RunFormulaCommand(doc, lumenark::FormulaCommand::TruthTable);
  return memory.Text();
}

TEditForm* TableWindow(Workbench& bench, const std::string& formula) {
  TEditForm* editor = bench.NewEditor(formula);
  editor->Memo1()->selectAll();
  lumenark::OutputColumn = 0;
  return editor;
}

}  // namespace

class OutputTests : public QObject {
  Q_OBJECT

 private slots:
  void commandOutputIsOneStepToUndo_data();
  void commandOutputIsOneStepToUndo();
  void largeOutputUndoAndRedoLoseNothing();
  void twentyLetterTableFitsTheText();
  void stopAnswersWhileATableStreamsIn();
};

void OutputTests::commandOutputIsOneStepToUndo_data() {
  QTest::addColumn<QString>("item");
  QTest::addColumn<std::string>("text");
  QTest::addColumn<std::string>("selected");  // the selection the command starts from
  // 16,384 rows, more than three pieces of output, written at the caret.
  QTest::newRow("a table") << QString("TruthTable1") << PairsOf(14) << PairsOf(14);
  // 131,072 rows: past TextVersions::kLargeOutputLines, the output goes on in a
  // document of its own; the steps are the same.
  QTest::newRow("a large table") << QString("TruthTable1") << PairsOf(17) << PairsOf(17);
  // Decompile prints over the selection, which the undo brings back.
  QTest::newRow("a print over a selection") << QString("Decompile2") << std::string("A&B|C&D") << std::string("C&D");
}

// One Ctrl+Z takes back everything the command wrote, and one more the step before it;
// Ctrl+Y writes them again, one step each.
void OutputTests::commandOutputIsOneStepToUndo() {
  QFETCH(QString, item);
  QFETCH(std::string, text);
  QFETCH(std::string, selected);
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = bench.NewEditor(text);
  SelectText(*editor, text);
  editor->Cmpile1Click();  // the tree to print, and a line break: a step of its own
  const std::string compiled = TextOf(*editor);
  SelectText(*editor, selected);

  MenuItem(bench.frame(), item)->trigger();
  const std::string after = TextOf(*editor);
  QVERIFY(after.size() > compiled.size() + (item == "TruthTable1" ? 600'000 : 5));
  MemoControl* memo = editor->Memo1();
  QTest::keyClick(memo, Qt::Key_Z, Qt::ControlModifier);
  QVERIFY(TextOf(*editor) == compiled);
  QTest::keyClick(memo, Qt::Key_Z, Qt::ControlModifier);
  QVERIFY(TextOf(*editor) == text);
  QVERIFY(!memo->document()->isUndoAvailable());
  QTest::keyClick(memo, Qt::Key_Y, Qt::ControlModifier);
  QVERIFY(TextOf(*editor) == compiled);
  QTest::keyClick(memo, Qt::Key_Y, Qt::ControlModifier);
  QVERIFY(TextOf(*editor) == after);
  QVERIFY(dialogs.errors.isEmpty());
}

// Around a large output: Undo and Redo again and again lose nothing; a save made with
// the output shown leaves the text without it changed; typing after an Undo drops the
// output for good (Redo then does nothing), and its document with it.
void OutputTests::largeOutputUndoAndRedoLoseNothing() {
  const std::string formula = PairsOf(17);
  Workbench bench;
  ScriptedDialogs dialogs;
  QTemporaryDir directory;
  TEditForm* editor = TableWindow(bench, formula);
  MemoControl* memo = editor->Memo1();
  MenuItem(bench.frame(), "TruthTable1")->trigger();
  const std::string table = TextOf(*editor);
  QVERIFY(table == TableInMemory(formula));
  QCOMPARE(memo->Versions().Count(), 2);
  dialogs.saveAnswers.push_back(directory.filePath(QStringLiteral("table.txt")));
  QCOMPARE(editor->Save1Click(), SaveOutcome::Saved);
  for (int round = 0; round < 3; ++round) {
    QTest::keyClick(memo, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(TextOf(*editor) == formula);
    QVERIFY(memo->document()->isModified());
    QCOMPARE(memo->textCursor().position(), static_cast<int>(formula.size()));
    QTest::keyClick(memo, Qt::Key_Y, Qt::ControlModifier);
    QVERIFY(TextOf(*editor) == table);
    QVERIFY(!memo->document()->isModified());
  }
  // Typing on the table itself keeps it; its steps come first, the table's after.
  memo->moveCursor(QTextCursor::End);
  QTest::keyClicks(memo, QStringLiteral("note"));
  QTest::keyClick(memo, Qt::Key_Z, Qt::ControlModifier);
  QVERIFY(TextOf(*editor) == table);
  QTest::keyClick(memo, Qt::Key_Z, Qt::ControlModifier);
  QVERIFY(TextOf(*editor) == formula);
  QTest::keyClicks(memo, QStringLiteral("x"));
  QCOMPARE(memo->Versions().Count(), 1);
  QTest::keyClick(memo, Qt::Key_Y, Qt::ControlModifier);
  QVERIFY(TextOf(*editor) == formula + "x");
  QTest::keyClick(memo, Qt::Key_Z, Qt::ControlModifier);
  QVERIFY(TextOf(*editor) == formula);
  QVERIFY(dialogs.errors.isEmpty());
  QVERIFY(dialogs.unexpected.isEmpty());
}

// The table of twenty letters, 45 MB in over a million lines, goes whole into the
// window, exactly as the engine writes it, and the window scrolls to its last line.
void OutputTests::twentyLetterTableFitsTheText() {
  const std::string formula = PairsOf(20);
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = TableWindow(bench, formula);
  QElapsedTimer clock;
  clock.start();
  MenuItem(bench.frame(), "TruthTable1")->trigger();
  qInfo("the table went into the window in %lld ms", static_cast<long long>(clock.elapsed()));
  QVERIFY(dialogs.errors.isEmpty());
  const std::string text = TextOf(*editor);
  QCOMPARE(text.size(), std::size_t{46'137'476});
  QVERIFY(text == TableInMemory(formula));
  MemoControl* memo = editor->Memo1();
  QCOMPARE(memo->document()->blockCount(), (1 << 20) + 4);  // formula, heading, rows, the empty last line
  memo->moveCursor(QTextCursor::End);
  QApplication::processEvents();
  QCOMPARE(memo->verticalScrollBar()->value(), memo->verticalScrollBar()->maximum());
  QVERIFY(memo->viewport()->rect().contains(memo->cursorRect()));
}

// Stop is clicked while the table streams in: the command ends, and the text holds the
// rows written until then, whole. How soon it answers is measured in bench/
// (window_output_bench).
void OutputTests::stopAnswersWhileATableStreamsIn() {
  const std::string formula = PairsOf(20);
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = TableWindow(bench, formula);
  bool clicked = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (!clicked && editor->Memo1()->document()->blockCount() > 100'000) {
      clicked = true;
      QTest::mouseClick(bench.form2().Button1(), Qt::LeftButton);
    }
  });
  poll.start(1);
  MenuItem(bench.frame(), "TruthTable1")->trigger();
  poll.stop();
  QVERIFY(clicked);
  const std::string text = TextOf(*editor);
  const std::string whole = TableInMemory(formula);
  QVERIFY(text.size() < whole.size() && whole.starts_with(text) && text.ends_with("\r\n"));
  QVERIFY(editor->Memo1()->document()->blockCount() > 100'000);
  QVERIFY(!lumenark::StopRequested);
  QVERIFY(!editor->CommandRunning());
  QVERIFY(dialogs.errors.isEmpty());
}

QTEST_MAIN(OutputTests)
#include "app_output_tests.moc"
