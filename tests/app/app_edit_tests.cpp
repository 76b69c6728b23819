// The editor window as a plain-text editor: when the Edit menu's and the context
// menu's items are enabled, which keys run them, and the Character menu (alignment,
// word wrap, font), each window for itself.

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCheckBox>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include "TestSupport.h"
#include "dialogs/FindReplaceDialog.h"
#include "editor/OptionsPanel.h"

namespace {

QAction* Item(TEditForm* editor, const char* name) {
  return editor->findChild<QAction*>(QString::fromLatin1(name));
}

// Opens the Edit menu from the keyboard (Alt+E), as the user would, and closes it.
void OpenEditMenu(TEditForm* editor) {
  QMenu* edit = editor->findChild<QMenu*>(QStringLiteral("Edit1"), Qt::FindDirectChildrenOnly);
  QTest::keyClick(editor->Memo1(), Qt::Key_E, Qt::AltModifier);
  WaitUntil([&] { return edit->isVisible(); });
  QTest::keyClick(edit, Qt::Key_Escape);
  WaitUntil([&] { return !edit->isVisible(); });
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);  // leaves the menu bar
  editor->Memo1()->setFocus();
}

// A right click in the text; returns the menu that came up, closed again.
QMenu* RightClick(TEditForm* editor) {
  QWidget* viewport = editor->Memo1()->viewport();
  const QPoint position(10, 5);
  QContextMenuEvent event(QContextMenuEvent::Mouse, position, viewport->mapToGlobal(position));
  QApplication::sendEvent(viewport, &event);
  QMenu* shown = nullptr;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* menu = qobject_cast<QMenu*>(widget); menu != nullptr && menu->isVisible()) shown = menu;
  }
  if (shown != nullptr) shown->hide();
  return shown;
}

QStringList EnabledItems(TEditForm* editor) {
  QStringList enabled;
  for (const char* name : {"Cut1", "Copy1", "Paste1", "Delete1", "SelectAll1", "Format1", "Cut2", "Copy2", "Paste2"}) {
    if (Item(editor, name)->isEnabled()) enabled.append(QString::fromLatin1(name));
  }
  return enabled;
}

// Where the last character of each line ends, in the control's viewport.
QList<int> LineEnds(MemoControl* memo) {
  QList<int> ends;
  for (QTextBlock block = memo->document()->begin(); block.isValid(); block = block.next()) {
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock);
    ends.append(memo->cursorRect(cursor).left());
  }
  return ends;
}

}  // namespace

class EditTests : public QObject {
  Q_OBJECT

 private slots:
  void itemsStartEnabled();
  void openingTheEditMenuSetsTheItems();
  void emptyClipboardDisablesPasteInBothMenus();
  void keysFindTheSelectionAsItIsNow();
  void contextMenuReplacesTheControlsOwn();
  void ctrlCCopiesAndNeverConverts();
  void ctrlVPastesAndNeverEvaluates();
  void pasteBeyondTheCapacityIsRefused();
  void ctrlXCutsTheSelection();
  void delDeletesTheSelectionOnly();
  void delFollowsTheSelectionNotTheLastOpening();
  void otherKeysAreTheTextsOwn();
  void alignmentKeepsExactlyOneCheck();
  void alignmentAppliesToEveryLine();
  void wordWrapTogglesScrollBarsAndCheck();
  void wordWrapBreaksAtTheWindowWidthOnly();
  void fontDialogStartsFromTheCurrentFont();
  void cancelledFontDialogKeepsTheFont();
  void characterFormatBelongsToTheWindow();
  void undoAndRedoTakeTheirKeys();
  void findGoesRoundTheText_data();
  void findGoesRoundTheText();
  void replaceOneAndAll();
  void findDialogKeepsItsAltKeys();
  void enterSearchesWheneverTheDialogOpens();
  void altWithoutAMenuTypesNothing();
  void zoomChangesTheShownSizeOnly();
};

void EditTests::itemsStartEnabled() {
  Workbench bench;
  QGuiApplication::clipboard()->clear();
  TEditForm* editor = bench.NewEditor("text");
  QCOMPARE(EnabledItems(editor),
           QStringList({"Cut1", "Copy1", "Paste1", "Delete1", "SelectAll1", "Format1", "Cut2", "Copy2", "Paste2"}));
}

void EditTests::openingTheEditMenuSetsTheItems() {
  Workbench bench;
  TEditForm* editor = bench.NewEditor("alpha beta");
  QGuiApplication::clipboard()->setText(QStringLiteral("clip"));
  Select(*editor, 0, 0);
  OpenEditMenu(editor);
  QCOMPARE(EnabledItems(editor), QStringList({"Paste1", "SelectAll1", "Format1", "Paste2"}));
  Select(*editor, 0, 5);
  OpenEditMenu(editor);
  QCOMPARE(EnabledItems(editor),
           QStringList({"Cut1", "Copy1", "Paste1", "Delete1", "SelectAll1", "Format1", "Cut2", "Copy2", "Paste2"}));
}

void EditTests::emptyClipboardDisablesPasteInBothMenus() {
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = bench.NewEditor("A&1");
  QGuiApplication::clipboard()->clear();
  OpenEditMenu(editor);
  QVERIFY(!Item(editor, "Paste1")->isEnabled());
  QVERIFY(!Item(editor, "Paste2")->isEnabled());
  // Text put on the clipboard later is pasted by Ctrl+V at once: the key finds the
  // items as the clipboard is now.
  QGuiApplication::clipboard()->setText(QStringLiteral("x"));
  Select(*editor, 3, 0);
  QTest::keyClick(editor->Memo1(), Qt::Key_V, Qt::ControlModifier);
  QCOMPARE(TextOf(*editor), std::string("A&1x"));
  QVERIFY(Item(editor, "Paste1")->isEnabled());
  QVERIFY(Item(editor, "Paste2")->isEnabled());
  // An emptied clipboard: Ctrl+V pastes nothing and does not reach the text.
  QGuiApplication::clipboard()->clear();
  QTest::keyClick(editor->Memo1(), Qt::Key_V, Qt::ControlModifier);
  QCOMPARE(TextOf(*editor), std::string("A&1x"));
  QVERIFY(!Item(editor, "Paste1")->isEnabled());
  QVERIFY(dialogs.unexpected.isEmpty());
}

// The items' enabled states are refreshed when a menu opens and when one of their keys
// is pressed, so that a key acts on the selection and the clipboard as they are now.
void EditTests::keysFindTheSelectionAsItIsNow() {
  Workbench bench;
  TEditForm* editor = bench.NewEditor("p>q|r");
  QGuiApplication::clipboard()->setText(QStringLiteral("before"));
  Select(*editor, 0, 0);
  OpenEditMenu(editor);
  QVERIFY(!Item(editor, "Copy1")->isEnabled());
  Select(*editor, 0, 3);
  QVERIFY(!Item(editor, "Copy1")->isEnabled());  // shown so until a menu opens or a key asks
  QTest::keyClick(editor->Memo1(), Qt::Key_C, Qt::ControlModifier);
  QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("p>q"));
  QVERIFY(Item(editor, "Copy1")->isEnabled() && Item(editor, "Copy2")->isEnabled());
  // Select a line with Shift+End, copy it, paste it elsewhere.
  QTest::keyClick(editor->Memo1(), Qt::Key_Home);
  QTest::keyClick(editor->Memo1(), Qt::Key_End, Qt::ShiftModifier);
  QTest::keyClick(editor->Memo1(), Qt::Key_C, Qt::ControlModifier);
  QTest::keyClick(editor->Memo1(), Qt::Key_End);
  QTest::keyClick(editor->Memo1(), Qt::Key_Return);
  QTest::keyClick(editor->Memo1(), Qt::Key_V, Qt::ControlModifier);
  QCOMPARE(TextOf(*editor), std::string("p>q|r\r\np>q|r"));
  // Without a selection Ctrl+X and Ctrl+C leave the clipboard alone.
  QTest::keyClick(editor->Memo1(), Qt::Key_X, Qt::ControlModifier);
  QTest::keyClick(editor->Memo1(), Qt::Key_C, Qt::ControlModifier);
  QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("p>q|r"));
  QCOMPARE(TextOf(*editor), std::string("p>q|r\r\np>q|r"));
  QVERIFY(!Item(editor, "Cut1")->isEnabled() && !Item(editor, "Copy1")->isEnabled());
}

void EditTests::contextMenuReplacesTheControlsOwn() {
  Workbench bench;
  TEditForm* editor = bench.NewEditor("some text");
  QGuiApplication::clipboard()->setText(QStringLiteral("clip"));
  Select(*editor, 0, 4);
  QMenu* shown = RightClick(editor);
  QCOMPARE(shown, editor->MemoPopUp());
  QStringList captions;
  for (const QAction* item : shown->actions()) captions.append(item->text());
  QCOMPARE(captions, QStringList({"Cut", "Copy", "Paste"}));
  QVERIFY(Item(editor, "Cut2")->isEnabled() && Item(editor, "Copy2")->isEnabled());
  // Its items act on the text.
  Item(editor, "Copy2")->trigger();
  QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("some"));
  Item(editor, "Cut2")->trigger();
  QCOMPARE(TextOf(*editor), std::string(" text"));
  Select(*editor, 5, 0);
  Item(editor, "Paste2")->trigger();
  QCOMPARE(TextOf(*editor), std::string(" textsome"));
}

void EditTests::ctrlCCopiesAndNeverConverts() {
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = bench.NewEditor("A|B\r\n");
  SelectText(*editor, "A|B");
  editor->Cmpile1Click();  // a tree that Conjunctions would convert and print
  const std::string compiled = TextOf(*editor);
  QGuiApplication::clipboard()->setText(QStringLiteral("old"));
  QTest::keyClick(editor->Memo1(), Qt::Key_C, Qt::ControlModifier);  // no selection: copies nothing
  QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("old"));
  QCOMPARE(TextOf(*editor), compiled);
  SelectText(*editor, "A|B");
  QTest::keyClick(editor->Memo1(), Qt::Key_C, Qt::ControlModifier);
  QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("A|B"));
  QCOMPARE(TextOf(*editor), compiled);
  // From the menu, Conjunctions runs.
  Select(*editor, compiled.size(), 0);
  MenuItem(bench.frame(), "Conjunctions1")->trigger();
  QCOMPARE(TextOf(*editor), compiled + "~(~A&~B)\r\n");
  QVERIFY(dialogs.unexpected.isEmpty());
}

// A paste that would take the text past its capacity (bytes, a line break counting
// two, lines, or the memory they take) is refused whole with the report Open gives; the text is unchanged.
void EditTests::pasteBeyondTheCapacityIsRefused() {
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = bench.NewEditor("start\r\n");
  // "start" and its line break are 7 bytes and 2 lines: each clip is one too many, for
  // the bytes, the lines, or the memory they would take.
  const TextCapacity bytesAndLines{.bytes = 1000, .lines = 100};
  const TextCapacity memory{.memory = TextCapacity::Cost(7 + 300, 2)};
  const std::pair<TextCapacity, QString> clips[] = {
      {bytesAndLines, QString(1000 - 6, QLatin1Char('a'))},
      {bytesAndLines, QString(100 - 1, QLatin1Char('\n'))},
      {memory, QString(300 + 1, QLatin1Char('a'))},
  };
  for (const auto& [capacity, clip] : clips) {
    editor->Memo1()->SetCapacity(capacity);
    QGuiApplication::clipboard()->setText(clip);
    Select(*editor, 0, 0);
    MenuItem(bench.frame(), "Paste1")->trigger();
    QVERIFY(TextOf(*editor) == "start\r\n");
    QGuiApplication::clipboard()->setText(clip.chopped(1));  // one less fits
    MenuItem(bench.frame(), "Paste1")->trigger();
    QCOMPARE(editor->Memo1()->document()->characterCount(), 7 + clip.size() - 1);
    editor->Undo1Click();
    QVERIFY(TextOf(*editor) == "start\r\n");
  }
  editor->Memo1()->SetCapacity(std::nullopt);
  QCOMPARE(dialogs.errors, QStringList(3, "Text exceeds memo capacity."));
  // A paste that fits goes in, in place of the selection.
  QGuiApplication::clipboard()->setText(QStringLiteral("short"));
  Select(*editor, 0, 5);
  MenuItem(bench.frame(), "Paste1")->trigger();
  QVERIFY(TextOf(*editor) == "short\r\n");
  QCOMPARE(dialogs.errors.size(), 3);
}

void EditTests::ctrlVPastesAndNeverEvaluates() {
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = bench.NewEditor("A&1\r\n");
  SelectText(*editor, "A&1");
  editor->Cmpile1Click();  // a tree that Evaluate would reduce and print
  QGuiApplication::clipboard()->setText(QStringLiteral("B|0"));
  QTest::keyClick(editor->Memo1(), Qt::Key_V, Qt::ControlModifier);
  QCOMPARE(TextOf(*editor), std::string("A&1\r\nB|0\r\n"));  // the caret stood on the compile's new line
  MenuItem(bench.frame(), "Evaluate1")->trigger();  // from the menu it runs
  QCOMPARE(TextOf(*editor), std::string("A&1\r\nB|0A\r\n\r\n"));
  QVERIFY(dialogs.unexpected.isEmpty());
}

void EditTests::ctrlXCutsTheSelection() {
  Workbench bench;
  TEditForm* editor = bench.NewEditor("keep cut keep");
  SelectText(*editor, "cut ");
  QTest::keyClick(editor->Memo1(), Qt::Key_X, Qt::ControlModifier);
  QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("cut "));
  QCOMPARE(TextOf(*editor), std::string("keep keep"));
  QVERIFY(editor->Memo1()->document()->isModified());
}

void EditTests::delDeletesTheSelectionOnly() {
  Workbench bench;
  TEditForm* editor = bench.NewEditor("formula");
  Select(*editor, 3, 0);  // the caret inside the word
  QTest::keyClick(editor->Memo1(), Qt::Key_Delete);
  QCOMPARE(TextOf(*editor), std::string("formula"));
  QVERIFY(!editor->Memo1()->document()->isModified());
  Select(*editor, 3, 2);
  QTest::keyClick(editor->Memo1(), Qt::Key_Delete);
  QCOMPARE(TextOf(*editor), std::string("forla"));
  MenuItem(bench.frame(), "Delete1")->trigger();  // nothing selected now: nothing happens
  QCOMPARE(TextOf(*editor), std::string("forla"));
}

// Del finds the Delete item as the selection is now: it deletes a selection made after
// the menu was opened without one, and without a selection it deletes nothing.
void EditTests::delFollowsTheSelectionNotTheLastOpening() {
  Workbench bench;
  TEditForm* editor = bench.NewEditor("formula");
  Select(*editor, 0, 0);
  OpenEditMenu(editor);
  QVERIFY(!Item(editor, "Delete1")->isEnabled());
  Select(*editor, 0, 3);
  QTest::keyClick(editor->Memo1(), Qt::Key_Delete);
  QCOMPARE(TextOf(*editor), std::string("mula"));
  QTest::keyClick(editor->Memo1(), Qt::Key_Delete);  // the caret alone: nothing
  QCOMPARE(TextOf(*editor), std::string("mula"));
  QVERIFY(!Item(editor, "Delete1")->isEnabled());
}

void EditTests::otherKeysAreTheTextsOwn() {
  Workbench bench;
  TEditForm* editor = bench.NewEditor("abc");
  MemoControl* memo = editor->Memo1();
  Select(*editor, 2, 0);
  QTest::keyClick(memo, Qt::Key_Backspace);
  QCOMPARE(TextOf(*editor), std::string("ac"));
  QTest::keyClick(memo, Qt::Key_Z, Qt::ControlModifier);
  QCOMPARE(TextOf(*editor), std::string("abc"));
  QTest::keyClick(memo, Qt::Key_A, Qt::ControlModifier);
  QCOMPARE(editor->Text().SelectionLength(), std::size_t{3});
  QTest::keyClick(memo, Qt::Key_Home);
  QTest::keyClick(memo, Qt::Key_End, Qt::ShiftModifier);
  QCOMPARE(editor->Text().SelectedText(), std::string("abc"));
  // The line length field of the options panel keeps its own Del.
  MenuItem(bench.frame(), "Format1")->trigger();
  QLineEdit* length = editor->Panel1()->Edit2();
  length->setFocus();
  length->setCursorPosition(0);
  QTest::keyClick(length, Qt::Key_Delete);
  QCOMPARE(length->text(), QStringLiteral("7"));
  QCOMPARE(TextOf(*editor), std::string("abc"));
}

void EditTests::alignmentKeepsExactlyOneCheck() {
  Workbench bench;
  TEditForm* editor = bench.NewEditor("text");
  auto checked = [editor] {
    QStringList names;
    for (const char* name : {"Left1", "Right1", "Center1"}) {
      if (Item(editor, name)->isChecked()) names.append(QString::fromLatin1(name));
    }
    return names;
  };
  QCOMPARE(checked(), QStringList({"Left1"}));
  MenuItem(bench.frame(), "Right1")->trigger();
  QCOMPARE(checked(), QStringList({"Right1"}));
  QCOMPARE(editor->Memo1()->TextAlignment(), Qt::AlignRight);
  MenuItem(bench.frame(), "Right1")->trigger();  // again: nothing changes
  QCOMPARE(checked(), QStringList({"Right1"}));
  QCOMPARE(editor->Memo1()->TextAlignment(), Qt::AlignRight);
  MenuItem(bench.frame(), "Center1")->trigger();
  QCOMPARE(checked(), QStringList({"Center1"}));
  QCOMPARE(editor->Memo1()->TextAlignment(), Qt::AlignHCenter);
  MenuItem(bench.frame(), "Left1")->trigger();
  QCOMPARE(checked(), QStringList({"Left1"}));
  QCOMPARE(editor->Memo1()->TextAlignment(), Qt::AlignLeft);
}

void EditTests::alignmentAppliesToEveryLine() {
  Workbench bench;
  TEditForm* editor = bench.NewEditor("a\r\nlonger line\r\nmid");
  MemoControl* memo = editor->Memo1();
  const int right = memo->viewport()->width();
  MenuItem(bench.frame(), "Right1")->trigger();
  for (int end : LineEnds(memo)) QVERIFY2(end >= right - 3 && end <= right, qPrintable(QString::number(end)));
  MenuItem(bench.frame(), "Center1")->trigger();
  const QList<int> centred = LineEnds(memo);
  QVERIFY(centred[0] < centred[2] && centred[2] < centred[1] && centred[1] < right - 3);
  // Typed lines follow the window's alignment as well.
  MenuItem(bench.frame(), "Right1")->trigger();
  Select(*editor, TextOf(*editor).size(), 0);
  QTest::keyClick(memo, Qt::Key_Return);
  QTest::keyClicks(memo, QStringLiteral("new"));
  QVERIFY(LineEnds(memo).last() >= right - 3);
  // The alignment is not part of the text.
  QCOMPARE(TextOf(*editor), std::string("a\r\nlonger line\r\nmid\r\nnew"));
  // A line longer than the window begins at the text's left edge, where scrolling
  // reaches it, and the others end where it ends.
  QTest::keyClick(memo, Qt::Key_Return);
  QTest::keyClicks(memo, QString(300, QLatin1Char('w')));
  QApplication::processEvents();
  const int scrolled = memo->horizontalScrollBar()->value();
  QVERIFY(scrolled > 0);  // to the end of the long line
  const QList<int> ends = LineEnds(memo);
  for (int end : ends) QVERIFY2(std::abs(end - ends.last()) <= 3, qPrintable(QString::number(end)));
  const QTextLine longest = memo->document()->lastBlock().layout()->lineAt(0);
  QCOMPARE(longest.cursorToX(0), 0.0);
}

void EditTests::wordWrapTogglesScrollBarsAndCheck() {
  Workbench bench;
  TEditForm* editor = bench.NewEditor(std::string(300, 'w') + " end");
  MemoControl* memo = editor->Memo1();
  QAction* wordWrap = Item(editor, "WordWrap1");
  QVERIFY(!wordWrap->isChecked());
  QCOMPARE(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  QCOMPARE(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  QVERIFY(memo->horizontalScrollBar()->isVisible());
  QCOMPARE(memo->document()->firstBlock().layout()->lineCount(), 1);

  MenuItem(bench.frame(), "WordWrap1")->trigger();
  QVERIFY(wordWrap->isChecked());
  QVERIFY(!memo->horizontalScrollBar()->isVisible());
  QVERIFY(memo->verticalScrollBar()->isVisible());
  QVERIFY(memo->document()->firstBlock().layout()->lineCount() > 1);
  QCOMPARE(memo->EditRect(), QMargins(3, 2, 3, 2));

  MenuItem(bench.frame(), "WordWrap1")->trigger();
  QVERIFY(!wordWrap->isChecked());
  QVERIFY(memo->horizontalScrollBar()->isVisible());
  QVERIFY(memo->verticalScrollBar()->isVisible());
  QCOMPARE(memo->document()->firstBlock().layout()->lineCount(), 1);
}

void EditTests::wordWrapBreaksAtTheWindowWidthOnly() {
  Workbench bench;
  ScriptedDialogs dialogs;
  QTemporaryDir dir;
  const std::string paragraph = "words that the window breaks for display but never in the text itself";
  TEditForm* editor = bench.NewEditor(paragraph);
  MemoControl* memo = editor->Memo1();
  MenuItem(bench.frame(), "WordWrap1")->trigger();
  editor->parentWidget()->resize(400, 200);
  const int wide = memo->document()->firstBlock().layout()->lineCount();
  editor->parentWidget()->resize(200, 200);
  const int narrow = memo->document()->firstBlock().layout()->lineCount();
  QVERIFY2(narrow > wide && wide >= 1, qPrintable(QStringLiteral("%1 %2").arg(wide).arg(narrow)));
  // Every displayed line fits the window.
  const QTextLayout* layout = memo->document()->firstBlock().layout();
  for (int i = 0; i < layout->lineCount(); ++i) QVERIFY(layout->lineAt(i).naturalTextWidth() <= memo->viewport()->width());
  // Soft breaks are not saved.
  const QString path = dir.filePath(QStringLiteral("wrapped.txt"));
  dialogs.saveAnswers = {path};
  editor->SaveAs1Click();
  QCOMPARE(ReadBytes(path), paragraph);
}

void EditTests::fontDialogStartsFromTheCurrentFont() {
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = bench.NewEditor("text");
  MemoControl* memo = editor->Memo1();
  const QFont start = memo->font();
  QCOMPARE(start.pixelSize(), 13);
  QVERIFY(start.families().contains(QStringLiteral("Courier New")));
  // The dialog opens on the family that stands in for "Courier New", at 10 points, and
  // selects it in its list; OK without a change keeps the text's font.
  QFontDialog dialog;
  dialogs.fontAnswers = {std::nullopt};
  MenuItem(bench.frame(), "Font1")->trigger();
  dialog.setCurrentFont(dialogs.fontPresets.value(0));
  const QFont opened = dialog.currentFont();
  QCOMPARE(opened.family(), QFontInfo(start).family());
  QCOMPARE(opened.pointSize(), 10);
  QVERIFY(!opened.italic() && !opened.bold());
  dialogs.fontAnswers = {opened};
  MenuItem(bench.frame(), "Font1")->trigger();
  QCOMPARE(memo->font(), start);

  QFont chosen(QStringLiteral("Liberation Serif"));
  chosen.setPointSize(14);
  chosen.setItalic(true);
  chosen.setUnderline(true);
  dialogs.fontAnswers = {chosen};
  MenuItem(bench.frame(), "Font1")->trigger();
  QCOMPARE(memo->font(), MemoControl::Unshaped(chosen));
  QCOMPARE(memo->EditRect(), QMargins(3, 2, 3, 2));
  QCOMPARE(memo->tabStopDistance(), 8 * QFontMetricsF(chosen).averageCharWidth());
  // The next opening starts from the chosen font.
  dialogs.fontAnswers = {std::nullopt};
  MenuItem(bench.frame(), "Font1")->trigger();
  dialog.setCurrentFont(dialogs.fontPresets.last());
  QCOMPARE(dialog.currentFont().family(), chosen.family());
  QCOMPARE(dialog.currentFont().pointSize(), 14);
  QVERIFY(dialog.currentFont().italic() && dialog.currentFont().underline());
  QVERIFY(dialogs.unexpected.isEmpty());
}

void EditTests::cancelledFontDialogKeepsTheFont() {
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = bench.NewEditor("text");
  MemoControl* memo = editor->Memo1();
  const QFont before = memo->font();
  const qreal tabs = memo->tabStopDistance();
  dialogs.fontAnswers = {std::nullopt};
  MenuItem(bench.frame(), "Font1")->trigger();
  QVERIFY(dialogs.fontAnswers.empty());
  QCOMPARE(memo->font(), before);
  QCOMPARE(memo->tabStopDistance(), tabs);
  QCOMPARE(memo->EditRect(), QMargins(3, 2, 3, 2));
  QVERIFY(!memo->document()->isModified());
}

void EditTests::characterFormatBelongsToTheWindow() {
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* first = bench.NewEditor("first");
  QFont chosen(QStringLiteral("Liberation Sans"));
  chosen.setPointSize(16);
  dialogs.fontAnswers = {chosen};
  MenuItem(bench.frame(), "Right1")->trigger();
  MenuItem(bench.frame(), "WordWrap1")->trigger();
  MenuItem(bench.frame(), "Font1")->trigger();
  TEditForm* second = bench.NewEditor("second");
  QVERIFY(Item(second, "Left1")->isChecked() && !Item(second, "Right1")->isChecked());
  QVERIFY(!Item(second, "WordWrap1")->isChecked());
  QCOMPARE(second->Memo1()->TextAlignment(), Qt::AlignLeft);
  QVERIFY(!second->Memo1()->WordWrap());
  QCOMPARE(second->Memo1()->font().pixelSize(), 13);
  QVERIFY(Item(first, "Right1")->isChecked() && Item(first, "WordWrap1")->isChecked());
  QCOMPARE(first->Memo1()->font(), MemoControl::Unshaped(chosen));
  QVERIFY(!first->Memo1()->document()->isModified());  // formats do not change the text
}

void EditTests::undoAndRedoTakeTheirKeys() {
  Workbench bench;
  TEditForm* editor = bench.NewEditor("A");
  MemoControl* memo = editor->Memo1();
  Select(*editor, 1, 0);
  QTest::keyClicks(memo, QStringLiteral("|B"));
  QTest::keyClick(memo, Qt::Key_Z, Qt::ControlModifier);
  QCOMPARE(TextOf(*editor), std::string("A"));
  QTest::keyClick(memo, Qt::Key_Y, Qt::ControlModifier);
  QCOMPARE(TextOf(*editor), std::string("A|B"));
  MenuItem(bench.frame(), "Undo1")->trigger();
  QCOMPARE(TextOf(*editor), std::string("A"));
  MenuItem(bench.frame(), "Redo1")->trigger();
  QCOMPARE(TextOf(*editor), std::string("A|B"));
}

void EditTests::findGoesRoundTheText_data() {
  QTest::addColumn<QString>("what");
  QTest::addColumn<bool>("matchCase");
  QTest::addColumn<bool>("wholeWords");
  QTest::addColumn<QList<int>>("found");  // where each Find Next from position 4 selects
  // "a A and a\r\nA": positions count a line break as one character (A at 10).
  QTest::newRow("any case") << "a" << false << false << QList<int>{4, 8, 10, 0, 2};
  QTest::newRow("matching case") << "A" << true << false << QList<int>{10, 2, 10};
  QTest::newRow("whole words") << "a" << false << true << QList<int>{8, 10, 0, 2, 8};
  QTest::newRow("nowhere") << "b" << false << false << QList<int>{-1};
}

// Find Next goes forward from the caret and round the end; F3 repeats it from the text.
void EditTests::findGoesRoundTheText() {
  QFETCH(QString, what);
  QFETCH(bool, matchCase);
  QFETCH(bool, wholeWords);
  QFETCH(QList<int>, found);
  Workbench bench;
  TEditForm* editor = bench.NewEditor("a A and a\r\nA");
  Select(*editor, 4, 0);
  MenuItem(bench.frame(), "Find1")->trigger();
  auto* dialog = editor->findChild<FindReplaceDialog*>();
  QVERIFY(dialog->isVisible() && !dialog->isModal() && !dialog->ReplaceText()->isVisible());
  dialog->FindText()->setText(what);
  dialog->MatchCase()->setChecked(matchCase);
  dialog->WholeWords()->setChecked(wholeWords);
  QList<int> seen;
  dialog->FindNextClick();
  for (int i = 1; i < found.size(); ++i) {
    seen.append(editor->Memo1()->textCursor().hasSelection() ? editor->Memo1()->textCursor().selectionStart() : -1);
    QTest::keyClick(editor->Memo1(), Qt::Key_F3);
  }
  seen.append(editor->Memo1()->textCursor().hasSelection() ? editor->Memo1()->textCursor().selectionStart() : -1);
  QCOMPARE(seen, found);
  QCOMPARE(dialog->Status()->text().isEmpty(), found != QList<int>{-1});
}

void EditTests::replaceOneAndAll() {
  Workbench bench;
  TEditForm* editor = bench.NewEditor("A|B\r\nB&A\r\nA");
  Select(*editor, 0, 0);
  MenuItem(bench.frame(), "Replace1")->trigger();
  auto* dialog = editor->findChild<FindReplaceDialog*>();
  QVERIFY(dialog->ReplaceText()->isVisible());
  dialog->FindText()->setText(QStringLiteral("A"));
  dialog->ReplaceText()->setText(QStringLiteral("(C>D)"));
  dialog->ReplaceClick();  // nothing selected yet: selects the first
  QCOMPARE(TextOf(*editor), std::string("A|B\r\nB&A\r\nA"));
  dialog->ReplaceClick();  // replaces it, selects the next
  QCOMPARE(TextOf(*editor), std::string("(C>D)|B\r\nB&A\r\nA"));
  QCOMPARE(editor->Text().SelectedText(), std::string("A"));
  dialog->ReplaceAllClick();
  QCOMPARE(TextOf(*editor), std::string("(C>D)|B\r\nB&(C>D)\r\n(C>D)"));
  QCOMPARE(dialog->Status()->text(), QStringLiteral("2 replaced."));
  QTest::keyClick(editor->Memo1(), Qt::Key_Z, Qt::ControlModifier);  // Replace All is one step
  QCOMPARE(TextOf(*editor), std::string("(C>D)|B\r\nB&A\r\nA"));
  // The text keeps its keys while the dialog is open.
  Select(*editor, 0, 0);
  QTest::keyClicks(editor->Memo1(), QStringLiteral("x"));
  QCOMPARE(TextOf(*editor).substr(0, 2), std::string("x("));
}

// In the Find and Replace dialogs, Alt and a letter of a caption work that control, not
// the frame's menu with the same letter (Alt+C Character, Alt+W Window, Alt+F File);
// any other letter with Alt types nothing.
void EditTests::findDialogKeepsItsAltKeys() {
  Workbench bench;
  TEditForm* editor = bench.NewEditor("a A and a");
  for (const char* item : {"Find1", "Replace1"}) {
    MenuItem(bench.frame(), item)->trigger();
    auto* dialog = editor->findChild<FindReplaceDialog*>();
    QApplication::setActiveWindow(dialog);  // no window manager to do it
    QCOMPARE(QApplication::activeWindow(), dialog);
    dialog->FindText()->setText(QStringLiteral("a"));
    const bool matchCase = dialog->MatchCase()->isChecked(), wholeWords = dialog->WholeWords()->isChecked();
    QTest::keyClick(dialog->FindText(), Qt::Key_C, Qt::AltModifier);
    QCOMPARE(dialog->MatchCase()->isChecked(), !matchCase);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_W, Qt::AltModifier);
    QCOMPARE(dialog->WholeWords()->isChecked(), !wholeWords);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_N, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), dialog->FindText());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_O, Qt::AltModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_E, Qt::AltModifier);
    QCOMPARE(dialog->FindText()->text(), QStringLiteral("a"));
    QCOMPARE(QApplication::activePopupWidget(), nullptr);  // no menu of the frame opened
    Select(*editor, 0, 0);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::AltModifier);  // Find Next
    QVERIFY(editor->Memo1()->textCursor().hasSelection());
    if (QString(item) == "Replace1") {
      dialog->MatchCase()->setChecked(false);
      dialog->WholeWords()->setChecked(false);
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_P, Qt::AltModifier);
      QCOMPARE(QApplication::focusWidget(), dialog->ReplaceText());
      QTest::keyClicks(dialog->ReplaceText(), QStringLiteral("x"));
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::AltModifier);  // Replace All
      QCOMPARE(TextOf(*editor), std::string("x x xnd x"));
    }
    QCOMPARE(QApplication::activePopupWidget(), nullptr);
    dialog->hide();
  }
}

// Enter is Find Next each time the dialog opens, also after Close had the focus.
void EditTests::enterSearchesWheneverTheDialogOpens() {
  Workbench bench;
  TEditForm* editor = bench.NewEditor("a A and a");
  for (const char* item : {"Find1", "Replace1", "Find1"}) {
    MenuItem(bench.frame(), item)->trigger();
    auto* dialog = editor->findChild<FindReplaceDialog*>();
    QApplication::setActiveWindow(dialog);  // no window manager to do it
    QCOMPARE(QApplication::activeWindow(), dialog);
    Select(*editor, 0, 0);
    dialog->FindText()->setText(QStringLiteral("and"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY2(dialog->isVisible(), item);
    QCOMPARE(editor->Memo1()->textCursor().selectedText(), QStringLiteral("and"));
    // Close, clicked: it takes the focus and is the default button until the dialog hides.
    QPushButton* close = nullptr;
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
      if (button->text() == QStringLiteral("Close")) close = button;
    }
    QVERIFY(close != nullptr);
    QTest::mouseClick(close, Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
  }
}

// Alt with a letter that no menu takes reaches the text as nothing: a selected formula
// stays. A letter that a menu takes opens that menu.
void EditTests::altWithoutAMenuTypesNothing() {
  Workbench bench;
  TEditForm* editor = bench.NewEditor("A&B");
  editor->Memo1()->setFocus();
  for (Qt::Key key : {Qt::Key_O, Qt::Key_I, Qt::Key_Q, Qt::Key_1}) {
    Select(*editor, 0, 3);
    QTest::keyClick(editor->Memo1(), key, Qt::AltModifier);
    QTest::keyClick(editor->Memo1(), key, Qt::AltModifier | Qt::ShiftModifier);
    QCOMPARE(TextOf(*editor), std::string("A&B"));
  }
  QCOMPARE(QApplication::activePopupWidget(), nullptr);
  QTest::keyClick(editor->Memo1(), Qt::Key_C, Qt::AltModifier);
  WaitUntil([&] { return QApplication::activePopupWidget() != nullptr; });
  QCOMPARE(QApplication::activePopupWidget()->objectName(), QStringLiteral("Character1"));
  QApplication::activePopupWidget()->close();
  QCOMPARE(TextOf(*editor), std::string("A&B"));
}

// The zoom changes the size the text is shown in, not the chosen font: the font dialog
// and printing see the chosen one.
void EditTests::zoomChangesTheShownSizeOnly() {
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = bench.NewEditor("text");
  MemoControl* memo = editor->Memo1();
  const QFont chosen = memo->TextFont();
  QTest::keyClick(memo, Qt::Key_Plus, Qt::ControlModifier);
  QTest::keyClick(memo, Qt::Key_Equal, Qt::ControlModifier);
  QCOMPARE(memo->font().pixelSize(), 16);  // 13 pixels and two tenths
  QCOMPARE(memo->TextFont(), chosen);
  dialogs.fontAnswers = {std::nullopt};
  MenuItem(bench.frame(), "Font1")->trigger();
  QCOMPARE(dialogs.fontPresets.value(0).pointSize(), 10);
  for (int i = 0; i < 12; ++i) QTest::keyClick(memo, Qt::Key_Minus, Qt::ControlModifier);
  QCOMPARE(memo->font().pixelSize(), 7);  // no smaller than half
  QTest::keyClick(memo, Qt::Key_0, Qt::ControlModifier);
  QCOMPARE(memo->font(), chosen);
  QVERIFY(!memo->document()->isModified());
}

QTEST_MAIN(EditTests)
#include "app_edit_tests.moc"
