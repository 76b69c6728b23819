// The text of an editor window as the engine sees it: position translation between the
// engine's CR LF and the control's single line break, 8-bit characters both ways,
// collected writes, and the small readers and namers the windows rely on.

#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include "TestSupport.h"
#include "commands/CommandFrame.h"
#include "dialogs/BreakablePaths.h"
#include "dialogs/ErrorReport.h"
#include "editor/ControlEditorText.h"
#include "editor/MemoControl.h"
#include "editor/WindowHost.h"
#include "formula/FormulaDocument.h"
#include "frame/LongTimeFormat.h"
#include "frame/MenuMerge.h"
#include "runtime/EngineGlobals.h"
#include "text/DocumentFile.h"
#include "text/Latin1Text.h"
#include "text/LineLengthText.h"
#include "text/MemoryEditorText.h"

using lumenark::FormulaCommand;
using lumenark::FormulaDocument;
using lumenark::MemoryEditorText;

namespace {

// A host that shows nothing and waits for nothing: the reference runs in memory.
class QuietHost final : public lumenark::Host {
 public:
  void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
  void ProcessPendingInput() override {}
  bool StopDialogVisible() const override { return visible; }
  void SetStopDialogVisible(bool v) override { visible = v; }
  std::vector<std::string> messages;
  bool visible = false;
};

// A text control with the engine's view of it, as an editor window has them.
struct ControlText {
  QWidget window;
  QWidget stopDialog;
  MemoControl* memo = new MemoControl(&window);
  ControlEditorText text{*memo};
  WindowHost host{window, text, *memo, stopDialog};
};

// The engine position a caret put at position ends up at: between CR and LF it stands
// at the end of the line.
std::size_t CaretPosition(const std::string& text, std::size_t position) {
  position = std::min(position, text.size());
  if (position > 0 && position < text.size() && text[position - 1] == '\r' && text[position] == '\n') --position;
  return position;
}

struct Run {
  std::string text;
  std::size_t start;
  std::size_t length;
  std::uint16_t details;
  bool showResults;
  std::int32_t lineWidth;
  std::vector<FormulaCommand> commands;
};

}  // namespace

Q_DECLARE_METATYPE(Run)

class TextTests : public QObject {
  Q_OBJECT

 private slots:
  void positionsTranslateBothWays();
  void selectionsReadTheEngineCharacters();
  void everyByteSurvivesTheControl();
  void commandsWriteWhatTheMemoryTextWrites_data();
  void commandsWriteWhatTheMemoryTextWrites();
  void writesReachTheControlInPieces();
  void selectionIsReplacedByTheFirstWrite();
  void userInputStaysWithinLatin1();
  void lineLengthIsReadLikeANumberPrefix_data();
  void lineLengthIsReadLikeANumberPrefix();
  void backupAndNameParts_data();
  void backupAndNameParts();
  void errorReportAppendsAFullStop();
  void pathsInBoxesWrapWhole();
  void menusMergeByGroupIndex();
  void clockShowsTheLongTimeWithoutZone();
};

void TextTests::positionsTranslateBothWays() {
  const std::string text = "ab\r\ncd\r\n\r\nlast line";
  ControlText control;
  control.memo->SetDocumentText(text);
  for (std::size_t i = 0; i <= text.size() + 2; ++i) {
    control.text.SetSelectionStart(i);
    QCOMPARE(control.text.SelectionStart(), CaretPosition(text, i));
    QCOMPARE(control.text.SelectionLength(), std::size_t{0});
  }
  QCOMPARE(control.text.ControlPosition(4), 3);  // "cd" starts the second block
  QCOMPARE(control.text.EnginePosition(7), std::size_t{10});
}

void TextTests::selectionsReadTheEngineCharacters() {
  const std::string text = "A|B\r\n\r\n(a>b)=c\r\nx";
  ControlText control;
  control.memo->SetDocumentText(text);
  for (std::size_t start = 0; start <= text.size(); ++start) {
    for (std::size_t length = 0; start + length <= text.size(); ++length) {
      control.text.SetSelectionStart(start);
      control.text.SetSelectionLength(length);
      const std::size_t from = CaretPosition(text, start);
      const std::size_t to = CaretPosition(text, from + length);  // counted from where the caret went
      QCOMPARE(control.text.SelectionStart(), from);
      QCOMPARE(control.text.SelectionLength(), to - from);
      QCOMPARE(control.text.SelectedText(), text.substr(from, to - from));
    }
  }
}

void TextTests::everyByteSurvivesTheControl() {
  std::string bytes;
  for (int c = 0; c < 256; ++c) {
    if (c != '\r' && c != '\n') bytes += static_cast<char>(c);
  }
  const std::string text = bytes + "\r\n" + bytes;
  ControlText control;
  control.memo->SetDocumentText(text);
  QCOMPARE(control.memo->DocumentText(), text);
  control.memo->selectAll();
  QCOMPARE(control.text.SelectedText(), text);
  control.text.SetSelectionStart(text.size());
  control.text.ReplaceSelection("\r\n" + bytes);
  control.text.Flush();
  QCOMPARE(control.memo->DocumentText(), text + "\r\n" + bytes);
  QCOMPARE(ControlTextFromDocument("a\rb\nc\r\nd"), QStringLiteral("a\nb\nc\nd"));
}

void TextTests::commandsWriteWhatTheMemoryTextWrites_data() {
  QTest::addColumn<Run>("run");
  using C = FormulaCommand;
  QTest::newRow("typical request") << Run{"A|B&C", 0, 5, 3, true, 77, {C::Conjunctive}};
  QTest::newRow("chain of commands")
      << Run{"notes\r\n(A>B)&(B>C)>(A>C)\r\nmore", 7, 17, 1, true, 30,
             {C::Literals, C::Conjunctive, C::MinimalCNF, C::Decompile, C::Decision}};
  QTest::newRow("results off") << Run{"x\r\n~(a=b)|c&0\r\n", 3, 12, 0, false, 40, {C::Evaluate, C::Disjunctive}};
  QTest::newRow("tree") << Run{"(a|b)&~c", 0, 8, 4, true, 77, {C::Tree, C::Implications}};
  QTest::newRow("syntax error") << Run{"line\r\nA|(B&", 6, 5, 4, true, 77, {C::Compile, C::Decompile}};
  QTest::newRow("compile, then print twice")
      << Run{"A&B\r\nbelow\r\n", 0, 3, 4, true, 21, {C::Compile, C::Decompile, C::Decompile}};
}

void TextTests::commandsWriteWhatTheMemoryTextWrites() {
  QFETCH(Run, run);
  MemoryEditorText memory(run.text);
  QuietHost quiet;
  FormulaDocument reference(memory, quiet);
  ControlText control;
  control.memo->SetDocumentText(run.text);
  FormulaDocument doc(control.text, control.host);
  for (FormulaDocument* d : {&reference, &doc}) {
    d->DetailLevel = run.details;
    d->ShowResults = run.showResults;
    d->LineWidth = run.lineWidth;
    d->Text.SetSelectionStart(run.start);
    d->Text.SetSelectionLength(run.length);
  }
  ScriptedDialogs dialogs;
  for (const FormulaCommand command : run.commands) {
    lumenark::OutputColumn = 0;
    lumenark::RunFormulaCommand(reference, command);
    lumenark::OutputColumn = 0;
    lumenark::RunFormulaCommand(doc, command);
    control.text.Flush();
    QCOMPARE(control.memo->DocumentText(), memory.Text());
    QCOMPARE(control.text.SelectionStart(), memory.SelectionStart());
    QCOMPARE(control.text.SelectionLength(), memory.SelectionLength());
    QVERIFY(control.memo->isVisibleTo(&control.window));
  }
  QCOMPARE(dialogs.messages.size(), static_cast<qsizetype>(quiet.messages.size()));
  for (std::size_t i = 0; i < quiet.messages.size(); ++i) {
    QCOMPARE(dialogs.messages[static_cast<qsizetype>(i)], QString::fromStdString(quiet.messages[i]));
  }
}

void TextTests::writesReachTheControlInPieces() {
  // A formula of 20,000 characters printed into the control.
  std::string formula = "a";
  while (formula.size() < 20000) formula += "|a";
  ControlText control;
  control.memo->SetDocumentText(formula);
  FormulaDocument doc(control.text, control.host);
  doc.LineWidth = 77;
  control.memo->selectAll();
  lumenark::RunFormulaCommand(doc, FormulaCommand::Compile);
  control.text.Flush();

  QSignalSpy changes(control.memo->document(), &QTextDocument::contentsChange);
  lumenark::OutputColumn = 0;
  lumenark::RunFormulaCommand(doc, FormulaCommand::Decompile);
  control.text.Flush();
  const std::string text = control.memo->DocumentText();
  QCOMPARE(text.substr(0, formula.size() + 2), formula + "\r\n");
  QVERIFY(text.size() > 2 * formula.size());
  // One change per piece handed over, not one per character written.
  QVERIFY2(changes.size() < 100, qPrintable(QString::number(changes.size())));
}

void TextTests::selectionIsReplacedByTheFirstWrite() {
  ControlText control;
  control.memo->SetDocumentText("one two\r\nthree");
  control.text.SetSelectionStart(4);
  control.text.SetSelectionLength(3);
  control.text.ReplaceSelection("2");
  control.text.ReplaceSelection("\r");
  control.text.Flush(ControlEditorText::FlushMode::WholeBreaks);  // keeps the CR back
  QCOMPARE(control.memo->DocumentText(), std::string("one 2\r\nthree"));
  control.text.ReplaceSelection("\n+");
  QCOMPARE(control.text.SelectionStart(), std::size_t{8});
  QCOMPARE(control.memo->DocumentText(), std::string("one 2\r\n+\r\nthree"));
  // Replaced by nothing, a selection goes (as the DIMACS command takes out a file cut short).
  control.text.SetSelectionStart(4);
  control.text.SetSelectionLength(6);
  control.text.ReplaceSelection({});
  QCOMPARE(control.text.SelectionStart(), std::size_t{4});
  QCOMPARE(control.text.SelectionLength(), std::size_t{0});
  QCOMPARE(control.memo->DocumentText(), std::string("one three"));
}

void TextTests::userInputStaysWithinLatin1() {
  ControlText control;
  control.window.show();
  control.memo->setFocus();
  for (const QChar c : QStringLiteral("a\u00e9\u20acb")) {
    QTest::sendKeyEvent(QTest::Click, control.memo, Qt::Key_unknown, QString(c), Qt::NoModifier);
  }
  QTest::keyClick(control.memo, Qt::Key_Return, Qt::ShiftModifier);
  QTest::keyClicks(control.memo, QStringLiteral("z"));
  QCOMPARE(control.memo->DocumentText(), std::string("a\xe9?b\r\nz"));
  QCOMPARE(Latin1Input(QStringLiteral("x\u2028y\r\nz\U0001F600")), QStringLiteral("x\ny\nz?"));
}

void TextTests::lineLengthIsReadLikeANumberPrefix_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<qint64>("value");
  QTest::newRow("plain") << "21" << qint64{21};
  QTest::newRow("blanks first") << "   100" << qint64{100};
  QTest::newRow("trailing letters") << "80x" << qint64{80};
  QTest::newRow("negative") << "-5" << qint64{-5};
  QTest::newRow("plus") << "+30" << qint64{30};
  QTest::newRow("hexadecimal") << "$FA" << qint64{250};
  QTest::newRow("hexadecimal lower") << "$fa" << qint64{250};
  QTest::newRow("letters only") << "abc" << qint64{0};
  QTest::newRow("empty") << "" << qint64{0};
  QTest::newRow("sign and dollar") << "-$5" << qint64{0};
  QTest::newRow("huge") << "99999999999999999999999" << (qint64{1} << 40);
}

void TextTests::lineLengthIsReadLikeANumberPrefix() {
  QFETCH(QString, text);
  QFETCH(qint64, value);
  QCOMPARE(ReadLineLength(text), value);
}

void TextTests::backupAndNameParts_data() {
  QTest::addColumn<QString>("path");
  QTest::addColumn<QString>("backup");
  QTest::addColumn<QString>("name");
  QTest::newRow("no extension") << "/w/notes" << "/w/notes.BAK" << "notes";
  QTest::newRow("two dots") << "/w/a.b.txt" << "/w/a.b.BAK" << "a.b.txt";
  QTest::newRow("dot in directory") << "/dir.x/notes" << "/dir.x/notes.BAK" << "notes";
  QTest::newRow("own backup") << "/w/old.BAK" << "/w/old.BAK" << "old.BAK";
  QTest::newRow("lower-case bak") << "/w/old.bak" << "/w/old.BAK" << "old.bak";
  QTest::newRow("relative") << "proof.txt" << "proof.BAK" << "proof.txt";
}

void TextTests::backupAndNameParts() {
  QFETCH(QString, path);
  QFETCH(QString, backup);
  QFETCH(QString, name);
  QCOMPARE(BackupName(path), backup);
  QCOMPARE(NamePart(path), name);
}

void TextTests::errorReportAppendsAFullStop() {
  QCOMPARE(ErrorReportText(QStringLiteral("Cannot open file /w/x.txt")), QStringLiteral("Cannot open file /w/x.txt."));
  QCOMPARE(ErrorReportText(QStringLiteral("Stream write error")), QStringLiteral("Stream write error."));
  QCOMPARE(ErrorReportText(QStringLiteral("Done.")), QStringLiteral("Done."));
  QCOMPARE(ErrorReportText(QStringLiteral("Why?")), QStringLiteral("Why?."));
  QCOMPARE(ErrorReportText(QStringLiteral("a,")), QStringLiteral("a,"));
  QCOMPARE(ErrorReportText(QStringLiteral("(a)")), QStringLiteral("(a)"));
  QCOMPARE(ErrorReportText(QStringLiteral("Cannot open file /w/")), QStringLiteral("Cannot open file /w/."));
}

void TextTests::pathsInBoxesWrapWhole() {
  const QString z(QChar(0x200B));
  const QString j(QChar(0x2060));
  const QString longName(40, QLatin1Char('n'));
  const std::pair<QString, QString> cases[] = {
      {"No path here.", "No path here."},
      {"doc.txt was saved, but its previous version could not be kept in /tmp/w/doc.BAK.",
       "doc.txt was saved, but its previous version could not be kept in /" + j + "tmp/" + j + "w/" + j + "doc.BAK."},
      {"Cannot create file /w/x.txt.\nIs a directory", "Cannot create file /" + j + "w/" + j + "x.txt.\nIs a directory"},
      {"in /home/someone/a-directory-with-a-long-name/notes.BAK.",
       "in\n/home/someone/a-directory-with-a-long-name/notes.BAK."},
      {"/" + longName + "/a", "/" + longName.left(32) + z + "n" + z + "n" + z + "n" + z + "n" + z + "n" + z + "n" + z +
                                  "n" + z + "n/a"},
      {"a and/or b", "a and/or b"},
  };
  for (const auto& [text, shown] : cases) QCOMPARE(WithBreakablePaths(text), shown);
}

void TextTests::menusMergeByGroupIndex() {
  QMenu frameFile, window, info, childFile, edit, character, formula;
  const std::pair<QMenu*, int> groups[] = {{&frameFile, 0}, {&window, 9},   {&info, 9},   {&childFile, 0},
                                           {&edit, 1},      {&character, 1}, {&formula, 1}};
  for (auto [menu, group] : groups) SetGroupIndex(menu, group);
  const QList<QMenu*> frameMenus{&frameFile, &window, &info};
  QCOMPARE(MergedMenus(frameMenus, {}), frameMenus);
  QCOMPARE(MergedMenus(frameMenus, {&childFile, &edit, &character, &formula}),
           (QList<QMenu*>{&childFile, &edit, &character, &formula, &window, &info}));
}

void TextTests::clockShowsTheLongTimeWithoutZone() {
  QCOMPARE(LongTimeFormat(QLocale::c()), QStringLiteral("HH:mm:ss"));
  const QLocale american(QLocale::English, QLocale::UnitedStates);
  QCOMPARE(american.toString(QTime(17, 5, 9), LongTimeFormat(american)), QStringLiteral("5:05:09 PM"));
  const QLocale german(QLocale::German, QLocale::Germany);
  QCOMPARE(german.toString(QTime(17, 5, 9), LongTimeFormat(german)), QStringLiteral("17:05:09"));
}

QTEST_MAIN(TextTests)
#include "app_text_tests.moc"
