// Where the keys go: to the editor window at once after any dialog over it has closed,
// in the order typed when they come while a command runs, and back through Undo step
// by step to the text as it was opened.
//
// The offscreen platform of these tests behaves as a bare X session does: it makes
// every window it shows active and hands nothing back when one hides.

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "TestSupport.h"
#include "dialogs/FindReplaceDialog.h"
#include "dialogs/HelpWindow.h"
#include "runtime/EngineGlobals.h"
#include "views/KarnaughMapWindow.h"

namespace {

FindReplaceDialog* FindDialogOf(TEditForm& editor) { return editor.findChild<FindReplaceDialog*>(); }

bool ReplaceDialogShown(TEditForm& editor) {
  const FindReplaceDialog* dialog = FindDialogOf(editor);
  return dialog != nullptr && dialog->isVisible() && dialog->windowTitle() == QStringLiteral("Replace");
}

// A dialog over an editor window: how it opens (returning the window it shows), and one
// way it closes.
struct DialogWay {
  const char* name;
  std::function<QWidget*(Workbench&, TEditForm&)> open;
  std::function<void(QWidget*)> close;
};

QWidget* OpenFind(Workbench&, TEditForm& editor) {
  QTest::keyClick(editor.Memo1(), Qt::Key_F, Qt::ControlModifier);
  return FindDialogOf(editor);
}

QWidget* OpenReplace(Workbench&, TEditForm& editor) {
  QTest::keyClick(editor.Memo1(), Qt::Key_H, Qt::ControlModifier);
  return FindDialogOf(editor);
}

QPushButton* Button(QWidget* window, const QString& text) {
  for (QPushButton* button : window->findChildren<QPushButton*>()) {
    if (button->text() == text) return button;
  }
  return nullptr;
}

const std::vector<DialogWay>& DialogWays() {
  static const std::vector<DialogWay> ways = {
      {"Find, Escape", OpenFind, [](QWidget*) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); }},
      {"Find, Close", OpenFind, [](QWidget* dialog) { QTest::mouseClick(Button(dialog, QStringLiteral("Close")), Qt::LeftButton); }},
      {"Replace, close box", OpenReplace, [](QWidget* dialog) { dialog->close(); }},
      {"About, OK",
       [](Workbench& bench, TEditForm&) -> QWidget* {
         MenuItem(bench.frame(), "About2")->trigger();
         return &bench.about();
       },
       [](QWidget* about) { QTest::mouseClick(static_cast<TAboutBox*>(about)->OKButton(), Qt::LeftButton); }},
      {"Help, close box",
       [](Workbench& bench, TEditForm& editor) -> QWidget* {
         QTest::keyClick(editor.Memo1(), Qt::Key_F1);
         return bench.frame().Help();
       },
       [](QWidget* help) { help->close(); }},
      {"Karnaugh map, Close",
       [](Workbench&, TEditForm& editor) -> QWidget* {
         editor.Memo1()->selectAll();
         QTest::keyClick(editor.Memo1(), Qt::Key_F5);
         KarnaughMapWindow* window = editor.KarnaughWindow();
         window->activateWindow();  // clicked into
         return window;
       },
       [](QWidget* window) { QTest::mouseClick(Button(window, QStringLiteral("Close")), Qt::LeftButton); }},
      {"message box, Enter",
       [](Workbench&, TEditForm& editor) -> QWidget* {
         // A real box, answered from the keyboard once it is up.
         ModalScript script({[](QWidget* box) {
           QTest::keyClick(box, Qt::Key_Return);
           return true;
         }});
         Dialogs().message(&editor, QStringLiteral("A message."));
         return nullptr;  // closed already
       },
       [](QWidget*) {}},
  };
  return ways;
}

// The text of the window opened on a file, as the user would have it.
TEditForm* OpenedEditor(Workbench& bench, const QTemporaryDir& directory, const std::string& text) {
  const QString path = directory.filePath(QStringLiteral("opened.txt"));
  WriteBytes(path, text);
  return bench.frame().OpenFile(path);
}

}  // namespace

class KeyboardTests : public QObject {
  Q_OBJECT

 private slots:
  void keysWorkAtOnceAfterAnyDialogCloses();
  void keyboardGoesBackToTheWindowWhenADialogCloses();
  void undoGoesBackStepByStepToTheOpenedText();
  void keysTypedWhileACommandRunsFollowInOrder_data();
  void keysTypedWhileACommandRunsFollowInOrder();
};

// Right after a dialog has closed, before the window system has handed anything back,
// the menu keys typed into the text run their items: Ctrl+H opens Replace.
void KeyboardTests::keysWorkAtOnceAfterAnyDialogCloses() {
  for (const DialogWay& way : DialogWays()) {
    Workbench bench;
    TEditForm* editor = bench.NewEditor("A&B|~A&C");
    QWidget* dialog = way.open(bench, *editor);
    LetQueuedEventsRun();  // the dialog is up and has the keyboard
    way.close(dialog);
    QVERIFY2(dialog == nullptr || !dialog->isVisible(), way.name);
    QTest::keyClick(editor->Memo1(), Qt::Key_H, Qt::ControlModifier);
    QVERIFY2(ReplaceDialogShown(*editor), way.name);
  }
}

// Once the window system has caught up, the editor window is active again and its text
// has the focus.
void KeyboardTests::keyboardGoesBackToTheWindowWhenADialogCloses() {
  for (const DialogWay& way : DialogWays()) {
    Workbench bench;
    TEditForm* editor = bench.NewEditor("A&B|~A&C");
    QWidget* dialog = way.open(bench, *editor);
    LetQueuedEventsRun();
    QVERIFY2(dialog == nullptr || QApplication::activeWindow() == dialog, way.name);
    way.close(dialog);
    LetQueuedEventsRun();
    QVERIFY2(QApplication::activeWindow() == &bench.frame(), way.name);
    QVERIFY2(QApplication::focusWidget() == editor->Memo1(), way.name);
  }
}

// The sequence of a user who lost a document: typing, a replacement and a command's
// output, then Ctrl+F, Escape, Ctrl+H (Replace opens), Escape, Ctrl+A and typing over
// the whole text. Ctrl+Z, again and again, goes back through each of these to the text
// as it was opened, and no further.
void KeyboardTests::undoGoesBackStepByStepToTheOpenedText() {
  Workbench bench;
  ScriptedDialogs dialogs;
  QTemporaryDir directory;
  const std::string opened = "A&B\r\nC|D";
  TEditForm* editor = OpenedEditor(bench, directory, opened);
  MemoControl* memo = editor->Memo1();
  std::vector<std::string> steps{opened};

  memo->moveCursor(QTextCursor::End);
  QTest::keyClicks(memo, QStringLiteral("|E"));
  steps.push_back(TextOf(*editor));

  QTest::keyClick(memo, Qt::Key_H, Qt::ControlModifier);
  FindReplaceDialog* dialog = FindDialogOf(*editor);
  dialog->FindText()->setText(QStringLiteral("C"));
  dialog->ReplaceText()->setText(QStringLiteral("~C"));
  QTest::mouseClick(Button(dialog, QStringLiteral("Replace &All")), Qt::LeftButton);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  steps.push_back(TextOf(*editor));
  QCOMPARE(steps.back(), std::string("A&B\r\n~C|D|E"));

  SelectText(*editor, "~C|D|E");
  QTest::keyClick(memo, Qt::Key_F7, Qt::ControlModifier);  // Conjunctive: its output
  steps.push_back(TextOf(*editor));
  QCOMPARE(steps.back(), std::string("A&B\r\n~C|D|E\r\n~C|D|E\r\n"));

  QTest::keyClick(memo, Qt::Key_F, Qt::ControlModifier);
  LetQueuedEventsRun();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  QTest::keyClick(memo, Qt::Key_H, Qt::ControlModifier);
  QVERIFY(ReplaceDialogShown(*editor));
  LetQueuedEventsRun();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  QTest::keyClick(memo, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(memo, QStringLiteral("xyz"));
  QCOMPARE(TextOf(*editor), std::string("xyz"));

  // Each Ctrl+Z takes back one change: the texts seen on the way back are the steps
  // above, latest first, each reached; none other comes between.
  std::vector<std::string> seen;
  for (int i = 0; i < 12; ++i) {
    QTest::keyClick(memo, Qt::Key_Z, Qt::ControlModifier);
    if (seen.empty() || seen.back() != TextOf(*editor)) seen.push_back(TextOf(*editor));
  }
  std::vector<std::string> expected(steps.rbegin(), steps.rend());
  std::vector<std::string> reached;
  for (const std::string& text : seen) {
    if (std::find(steps.begin(), steps.end(), text) != steps.end()) reached.push_back(text);
  }
  QVERIFY2(reached == expected, seen.empty() ? "Ctrl+Z changed nothing" : seen.front().c_str());
  QCOMPARE(seen.back(), opened);
  QVERIFY(dialogs.unexpected.isEmpty());
}

void KeyboardTests::keysTypedWhileACommandRunsFollowInOrder_data() {
  QTest::addColumn<QString>("item");
  QTest::addColumn<std::string>("formula");
  // A conversion of 2^25 clauses and a table of 2^26 rows, gigabytes either: the keys
  // come while the command runs, and it ends only when stopped.
  std::string pairs, letters;
  for (int i = 0; i < 25; ++i) pairs += std::string(i > 0 ? "|" : "") + "(" + char('a' + i) + "&" + char('A' + i) + ")";
  for (int i = 0; i < 26; ++i) letters += std::string(i > 0 ? "|" : "") + char('A' + i);
  QTest::newRow("computing") << "Conjunctive1" << pairs;
  QTest::newRow("writing its output") << "TruthTable1" << letters;
}

// While the command runs: a letter, a line typed and selected, Ctrl+F7 on it, Ctrl+Z
// and Ctrl+Y, another letter, Stop. Once it has ended, each key acts in turn on the
// text the one before left, menu keys as their items.
void KeyboardTests::keysTypedWhileACommandRunsFollowInOrder() {
  QFETCH(QString, item);
  QFETCH(std::string, formula);
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = bench.NewEditor(formula);
  MemoControl* memo = editor->Memo1();
  memo->selectAll();

  // The frame's clock ticks only while the command lets the window system run.
  auto* clock = bench.frame().findChild<QTimer*>(QStringLiteral("Timer1"));
  bool typed = false;
  QObject::connect(clock, &QTimer::timeout, [&] {
    if (typed || !editor->CommandRunning()) return;
    typed = true;
    QTest::keyClick(memo, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(memo, QStringLiteral("x\rA|B&C"));
    QTest::keyClick(memo, Qt::Key_Home, Qt::ShiftModifier);
    QTest::keyClick(memo, Qt::Key_F7, Qt::ControlModifier);
    QTest::keyClick(memo, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(memo, Qt::Key_Y, Qt::ControlModifier);
    QTest::keyClicks(memo, QStringLiteral("y"));
    QTest::mouseClick(bench.form2().Button1(), Qt::LeftButton);
  });
  MenuItem(bench.frame(), item)->trigger();
  QVERIFY(typed);
  const std::string stopped = TextOf(*editor);
  WaitUntil([editor] { return !editor->InputWaiting(); });
  QCOMPARE(TextOf(*editor), stopped + "x\r\nA|B&C\r\n(A|B)&(A|C)\r\ny");
  QVERIFY(!editor->CommandRunning());
  QVERIFY(dialogs.messages.isEmpty());
}

QTEST_MAIN(KeyboardTests)
#include "app_keyboard_tests.moc"
