// The workbench's windows: start-up, menus and their merging, key precedence, the
// Window menu, the status bar, the about box, the stop dialog, help, a new editor
// window and its output options panel.

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include "TestSupport.h"
#include "dialogs/BreakablePaths.h"
#include "dialogs/HelpWindow.h"
#include "editor/OptionsPanel.h"
#include "frame/ApplicationGlobals.h"
#include "runtime/EngineGlobals.h"

namespace {

struct MenuRow {
  const char* name;
  const char* caption;  // the text shown, shortcut text after a tab
  const char* shortcut;  // the key the item takes, "" for none
};

// Every item of a menu, in order, against a table.
void CompareMenu(const QMenu* menu, const std::vector<MenuRow>& rows) {
  QList<QAction*> items;
  for (QAction* action : menu->actions()) items.append(action);
  QCOMPARE(items.size(), static_cast<qsizetype>(rows.size()));
  for (qsizetype i = 0; i < items.size(); ++i) {
    const MenuRow& row = rows[static_cast<std::size_t>(i)];
    QCOMPARE(items[i]->objectName(), QString::fromLatin1(row.name));
    if (items[i]->isSeparator()) {
      QCOMPARE(QString::fromLatin1(row.caption), QStringLiteral("-"));
      continue;
    }
    QCOMPARE(items[i]->text(), QString::fromLatin1(row.caption));
    QCOMPARE(items[i]->shortcut(), QKeySequence(QString::fromLatin1(row.shortcut)));
  }
}

QMenu* SubMenu(const QMenu* menu, const char* name) {
  return menu->findChild<QMenu*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
}

QMenu* EditorMenu(TEditForm* editor, const char* name) {
  return editor->findChild<QMenu*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
}

}  // namespace

class WindowTests : public QObject {
  Q_OBJECT

 private slots:
  void startUpShowsTheFrameAlone();
  void editorMenusMergeIntoTheMenuBar();
  void editorMenusCarryTheirCaptionsAndKeys();
  void keysGoToTheFirstItemInMenuBarOrder();
  void windowMenuListsAndArrangesTheEditors();
  void cascadeShowsEveryTitleBarWithTheActiveInFront();
  void statusBarShowsClockAndMemory();
  void aboutBoxIsOneModelessWindow();
  void stopDialogCannotBeClosed();
  void helpOpensTheManualUnderItsName();
  void newEditorStartsWithTheDefaults();
  void newEditorHasRoomForTheOptionsPanel();
  void formatOpensThePanelWithTheWindowsValues();
  void okStoresTheOptions_data();
  void okStoresTheOptions();
  void enteringThePanelAgainReloadsIt();
  void standardBoxesCarryTheirTitlesAndButtons();
  void savePromptBringsItsWindowToTheFront();
  void closedDialogHandsTheKeysBackToItsWindow();
  void closedAboutBoxHandsTheKeysBack_data();
  void closedAboutBoxHandsTheKeysBack();
  void arrowKeysChooseTheDetails();
  void ctrlF4ClosesAndCtrlF6CyclesTheEditors();
};

void WindowTests::startUpShowsTheFrameAlone() {
  Workbench bench;
  QCOMPARE(bench.frame().windowTitle(), QStringLiteral("Lumenark for Windows 95"));
  QCOMPARE(bench.frame().objectName(), QStringLiteral("FrameForm"));
  QVERIFY(bench.frame().ClientArea()->subWindowList().isEmpty());
  QVERIFY(!bench.about().isVisible());
  QVERIFY(!bench.form2().isVisible());
  QCOMPARE(MenuBarNames(bench.frame()), (QStringList{"File1", "Window1", "About1"}));
  const QList<QAction*> bar = bench.frame().menuBar()->actions();
  QCOMPARE(bar[0]->text(), QStringLiteral("&File"));
  QCOMPARE(bar[1]->text(), QStringLiteral("&Window"));
  QCOMPARE(bar[2]->text(), QStringLiteral("Info"));
  CompareMenu(bar[0]->menu(), {{"New1", "&New", "Ctrl+N"},
                               {"Open1", "&Open...", "Ctrl+O"},
                               {"Separator3", "-", ""},
                               {"Exit1", "E&xit", ""}});
  CompareMenu(bar[1]->menu(), {{"Tile1", "&Tile", ""}, {"Cascade1", "&Cascade", ""}, {"ArrangeIcons1", "&Arrange Icons", ""}});
  CompareMenu(bar[2]->menu(), {{"Help1", "Help", "F1"}, {"About2", "About", ""}});

  ScriptedDialogs dialogs;
  dialogs.openAnswers.push_back(QString());
  QTest::keyClick(&bench.frame(), Qt::Key_O, Qt::ControlModifier);
  QVERIFY(dialogs.openAnswers.empty());
  QVERIFY(bench.frame().ClientArea()->subWindowList().isEmpty());  // cancelled: no window
  QTest::keyClick(&bench.frame(), Qt::Key_N, Qt::ControlModifier);
  QCOMPARE(bench.frame().ClientArea()->subWindowList().size(), 1);
}

void WindowTests::editorMenusMergeIntoTheMenuBar() {
  Workbench bench;
  TEditForm* first = bench.NewEditor();
  const QStringList merged{"File1", "Edit1", "Character1", "Formula1", "Window1", "About1"};
  QCOMPARE(MenuBarNames(bench.frame()), merged);
  QCOMPARE(bench.frame().menuBar()->actions()[0], EditorMenu(first, "File1")->menuAction());

  TEditForm* second = bench.NewEditor();
  QCOMPARE(bench.frame().ActiveEditor(), second);
  QCOMPARE(bench.frame().menuBar()->actions()[0], EditorMenu(second, "File1")->menuAction());
  QCOMPARE(MenuBarNames(bench.frame()), merged);

  bench.frame().ClientArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(first->parentWidget()));
  QCOMPARE(bench.frame().menuBar()->actions()[1], EditorMenu(first, "Edit1")->menuAction());

  // Another window of the program becomes active: the frame keeps the editor's menus.
  bench.frame().About2Click();
  WaitUntil([&] { return bench.about().isActiveWindow(); });
  QCOMPARE(bench.frame().menuBar()->actions()[1], EditorMenu(first, "Edit1")->menuAction());
  bench.about().hide();

  first->Close1Click();
  second->Close1Click();
  WaitUntil([&] { return MenuBarNames(bench.frame()) == (QStringList{"File1", "Window1", "About1"}); });
  QCOMPARE(MenuBarNames(bench.frame()), (QStringList{"File1", "Window1", "About1"}));
  QCOMPARE(bench.frame().menuBar()->actions()[0]->menu()->parent(), &bench.frame());
}

void WindowTests::editorMenusCarryTheirCaptionsAndKeys() {
  Workbench bench;
  TEditForm* editor = bench.NewEditor();
  CompareMenu(EditorMenu(editor, "File1"), {{"New1", "&New", "Ctrl+N"},
                                            {"Open1", "&Open", "Ctrl+O"},
                                            {"Close1", "&Close", ""},
                                            {"N1", "-", ""},
                                            {"Save1", "&Save", "Ctrl+S"},
                                            {"SaveAs1", "Save &As...", ""},
                                            {"N2", "-", ""},
                                            {"Print1", "&Print", "Ctrl+P"},
                                            {"PrintSetup1", "Prin&t Setup...", ""},
                                            {"N4", "-", ""},
                                            {"ExportLatex1", "Export as &LaTeX...", ""},
                                            {"ImportDimacs1", "Import &DIMACS...", ""},
                                            {"N3", "-", ""},
                                            {"Exit1", "E&xit", ""}});
  CompareMenu(EditorMenu(editor, "Edit1"), {{"Cut1", "Cu&t", "Ctrl+X"},
                                            {"Copy1", "&Copy", "Ctrl+C"},
                                            {"Paste1", "&Paste", "Ctrl+V"},
                                            {"Delete1", "De&lete", "Del"},
                                            {"", "-", ""},
                                            {"SelectAll1", "Select &All", ""},
                                            {"Format1", "Format", "Ctrl+T"},
                                            // what an editor offers beyond the items above
                                            {"", "-", ""},
                                            {"Undo1", "&Undo", "Ctrl+Z"},
                                            {"Redo1", "&Redo", "Ctrl+Y"},
                                            {"", "-", ""},
                                            {"Find1", "&Find...", "Ctrl+F"},
                                            {"Replace1", "R&eplace...", "Ctrl+H"},
                                            {"FindNext1", "Find &Next", "F3"}});
  QMenu* character = EditorMenu(editor, "Character1");
  CompareMenu(character, {{"Left1", "&Left", ""},
                          {"Right1", "&Right", ""},
                          {"Center1", "&Center", ""},
                          {"", "-", ""},
                          {"WordWrap1", "&WordWrap", ""},
                          {"", "-", ""},
                          {"Font1", "&Font...", ""},
                          {"", "-", ""},
                          {"ZoomIn1", "Zoom &In", "Ctrl++"},
                          {"ZoomOut1", "Zoom &Out", "Ctrl+-"},
                          {"NormalSize1", "&Normal Size", "Ctrl+0"}});
  QVERIFY(character->actions()[0]->isChecked());
  QVERIFY(!character->actions()[1]->isChecked());
  QVERIFY(!character->actions()[4]->isChecked());
  QMenu* formula = EditorMenu(editor, "Formula1");
  QCOMPARE(formula->title(), QStringLiteral("Formula"));
  CompareMenu(formula, {{"Conversion1", "Conversion", ""},
                        {"Cmpile1", "Compile", "Ctrl+F9"},
                        {"Decompile2", "Decompile", "Shift+F9"},
                        {"DecompileTree", "Tree", "Ctrl+Shift+F9"},
                        {"Normalforms1", "Normal forms", ""},
                        {"Evaluate1", "Evaluate\tCtrl+V", ""},
                        {"Decision1", "Decision", "F8"},
                        {"N5", "-", ""},
                        {"TruthTable1", "Truth Table", "Ctrl+Shift+T"},
                        {"Model1", "Model", "Ctrl+Shift+M"},
                        {"Countermodel1", "Countermodel", "Ctrl+Shift+K"},
                        {"Latex1", "LaTeX", "Ctrl+Shift+L"},
                        {"N6", "-", ""},
                        {"Minimumforms1", "Minimum forms", ""},
                        {"KarnaughMap1", "Karnaugh Map", "F5"},
                        {"N7", "-", ""},
                        {"Tableau1", "Tableau", "Ctrl+Shift+B"},
                        {"Equivalence1", "Equivalence", "Ctrl+Shift+Q"},
                        {"Dimacs1", "DIMACS", "Ctrl+Shift+X"}});
  CompareMenu(SubMenu(formula, "Minimumforms1"), {{"MinimumCNF1", "Minimum CNF", "Ctrl+F5"},
                                                  {"MinimumDNF1", "Minimum DNF", "Shift+F5"}});
  CompareMenu(SubMenu(formula, "Conversion1"), {{"Conjunctions1", "Conjunctions\tCtrl+C", ""},
                                                {"Implications1", "Implications", "Ctrl+D"},
                                                {"Disjunctions1", "Disjunctions", "Ctrl+I"},
                                                {"Literals1", "Literals", "Ctrl+L"}});
  CompareMenu(SubMenu(formula, "Normalforms1"), {{"Conjunctive1", "Conjunctive", "Ctrl+F7"},
                                                 {"Disjunctive1", "Disjunctive", "Shift+F7"},
                                                 {"MinimalCNF1", "Minimal CNF", "Ctrl+F8"},
                                                 {"MinimalDNF1", "Minimal DNF", "Shift+F8"}});
  for (QAction* item : formula->findChildren<QAction*>()) QVERIFY(item->isEnabled());
  CompareMenu(editor->MemoPopUp(), {{"Cut2", "Cut", ""}, {"Copy2", "Copy", ""}, {"Paste2", "Paste", ""}});
}

void WindowTests::keysGoToTheFirstItemInMenuBarOrder() {
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = bench.NewEditor("A|B&C");
  MemoControl* memo = editor->Memo1();
  QVERIFY(memo->hasFocus());
  QGuiApplication::clipboard()->clear();

  SelectText(*editor, "A|B&C");
  QTest::keyClick(memo, Qt::Key_C, Qt::ControlModifier);  // Copy, not Conjunctions
  QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("A|B&C"));
  QCOMPARE(TextOf(*editor), std::string("A|B&C"));
  QVERIFY(editor->Document().Root == nullptr);

  Select(*editor, 5, 0);
  QTest::keyClick(memo, Qt::Key_V, Qt::ControlModifier);  // Paste, not Evaluate
  QCOMPARE(TextOf(*editor), std::string("A|B&CA|B&C"));

  Select(*editor, 0, 1);
  QTest::keyClick(memo, Qt::Key_Delete);  // Delete1 deletes the selection
  QCOMPARE(TextOf(*editor), std::string("|B&CA|B&C"));
  Select(*editor, 0, 0);
  QTest::keyClick(memo, Qt::Key_Delete);  // and never the character after the caret
  QCOMPARE(TextOf(*editor), std::string("|B&CA|B&C"));

  editor->Memo1()->SetDocumentText("A|B&C");
  SelectText(*editor, "A|B&C");
  QTest::keyClick(memo, Qt::Key_F7, Qt::ControlModifier);  // Conjunctive
  QCOMPARE(TextOf(*editor), std::string("A|B&C\r\n(A|B)&(A|C)\r\n"));
  QTest::keyClick(memo, Qt::Key_F9, Qt::ShiftModifier);  // Decompile
  QCOMPARE(TextOf(*editor), std::string("A|B&C\r\n(A|B)&(A|C)\r\n(A|B)&(A|C)\r\n"));
  QVERIFY(dialogs.unexpected.isEmpty());
}

void WindowTests::windowMenuListsAndArrangesTheEditors() {
  Workbench bench;
  TEditForm* first = bench.NewEditor();
  TEditForm* second = bench.NewEditor();
  TEditForm* third = bench.NewEditor();
  QMenu* window = MenuItem(bench.frame(), "Window1")->menu();
  emit window->aboutToShow();
  QStringList entries;
  for (const QAction* action : window->actions().mid(4)) entries.append(action->text() + (action->isChecked() ? "*" : ""));
  QCOMPARE(entries, (QStringList{"&1 Untitled", "&2 Untitled", "&3 Untitled*"}));
  window->actions()[4]->trigger();
  QCOMPARE(bench.frame().ActiveEditor(), first);

  QMdiArea* area = bench.frame().ClientArea();
  MenuItem(bench.frame(), "Tile1")->trigger();
  const int width = area->viewport()->width();
  int top = 0;
  for (TEditForm* editor : {first, third, second}) {  // front to back
    const QRect frame = editor->parentWidget()->geometry();
    QCOMPARE(frame.left(), 0);
    QCOMPARE(frame.width(), width);
    QCOMPARE(frame.top(), top);
    top = frame.bottom() + 1;
  }
  QCOMPARE(top, area->viewport()->height());

  MenuItem(bench.frame(), "Cascade1")->trigger();
  QList<QPoint> corners;
  for (QMdiSubWindow* sub : area->subWindowList()) corners.append(sub->pos());
  QVERIFY(corners[0] != corners[1] && corners[1] != corners[2]);

  auto* minimised = qobject_cast<QMdiSubWindow*>(second->parentWidget());
  minimised->showMinimized();
  minimised->move(100, 20);
  MenuItem(bench.frame(), "ArrangeIcons1")->trigger();
  QCOMPARE(minimised->geometry().bottom(), area->viewport()->height() - 1);
  QCOMPARE(minimised->x(), 0);
}

// Every window lies a title bar lower and further right than the one behind it, all
// of one size, with the active window in front.
void WindowTests::cascadeShowsEveryTitleBarWithTheActiveInFront() {
  Workbench bench;
  TEditForm* first = bench.NewEditor();
  TEditForm* second = bench.NewEditor();
  bench.NewEditor();
  first->parentWidget()->resize(200, 150);
  bench.frame().ClientArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(second->parentWidget()));
  MenuItem(bench.frame(), "Cascade1")->trigger();

  QMdiArea* area = bench.frame().ClientArea();
  const QList<QMdiSubWindow*> stack = area->subWindowList(QMdiArea::StackingOrder);  // back to front
  QCOMPARE(stack.size(), 3);
  QCOMPARE(stack.last(), second->parentWidget());
  QCOMPARE(area->activeSubWindow(), second->parentWidget());
  const int step = stack[0]->widget()->y();  // title bar and frame
  QVERIFY(step > 10);
  const QSize viewport = area->viewport()->size();
  QVERIFY(stack[0]->width() >= viewport.width() / 2 && stack[0]->height() >= viewport.height() / 2);
  for (qsizetype i = 0; i < stack.size(); ++i) {
    QCOMPARE(stack[i]->size(), stack[0]->size());
    QCOMPARE(stack[i]->pos(), QPoint(static_cast<int>(i) * step, static_cast<int>(i) * step));
    QVERIFY(area->viewport()->rect().contains(stack[i]->geometry()));
    const QRect titleBar(stack[i]->pos(), QSize(stack[i]->width(), step));
    for (qsizetype j = i + 1; j < stack.size(); ++j) QVERIFY(!stack[j]->geometry().intersects(titleBar));
  }
}

void WindowTests::statusBarShowsClockAndMemory() {
  Workbench bench;
  QStatusBar* bar = bench.frame().statusBar();
  QCOMPARE(bar->objectName(), QStringLiteral("StatusBar1"));
  // The panels keep their widths where the texts fit, and grow as far as a ten-digit
  // figure needs.
  const int widths[] = {80, 100, 80, 50};
  for (int i = 0; i < 4; ++i) QVERIFY(bench.frame().StatusPanel(i)->width() >= widths[i]);
  for (int i : {1, 2}) {
    const QLabel* panel = bench.frame().StatusPanel(i);
    const int figure = QFontMetrics(panel->font()).horizontalAdvance(QStringLiteral("4294967295"));
    QVERIFY(panel->contentsRect().width() - 2 * panel->indent() >= figure);
    QVERIFY(panel->width() == widths[i] || panel->width() <= panel->frameWidth() * 2 + figure + 2 * panel->indent() + 2);
  }
  QCOMPARE(bench.frame().StatusPanel(1)->width(), 100);
  QCOMPARE(bench.frame().StatusPanel(3)->width(), 50);
  auto* timer = bench.frame().findChild<QTimer*>("Timer1");
  QVERIFY(timer->isActive());
  QCOMPARE(timer->interval(), 200);

  bench.frame().Timer1Timer();
  const QRegularExpression clock(QStringLiteral("\\d{1,2}:\\d{2}:\\d{2}"));
  QVERIFY(clock.match(bench.frame().StatusPanel(0)->text()).hasMatch());
  for (int i : {1, 2}) {
    bool number = false;
    QVERIFY(bench.frame().StatusPanel(i)->text().toULongLong(&number) > 0 || number);
    QVERIFY(number);
  }
  QVERIFY(bench.frame().StatusPanel(3)->text().isEmpty());

  for (int i : {0, 1, 2}) bench.frame().StatusPanel(i)->setText(QStringLiteral("x"));
  QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(300, 8));
  QVERIFY(clock.match(bench.frame().StatusPanel(0)->text()).hasMatch());
  QCOMPARE(bench.frame().StatusPanel(1)->text(), QStringLiteral("x"));
  QCOMPARE(bench.frame().StatusPanel(2)->text(), QStringLiteral("x"));
  QVERIFY(bench.frame().StatusPanel(3)->text().isEmpty());
}

void WindowTests::aboutBoxIsOneModelessWindow() {
  Workbench bench;
  TAboutBox& about = bench.about();
  QCOMPARE(about.windowTitle(), QStringLiteral("About"));
  QCOMPARE(about.size(), QSize(298, 213));
  QCOMPARE(about.minimumSize(), about.maximumSize());
  const std::pair<const char*, const char*> texts[] = {{"ProductName", "Product name:"},
                                                       {"Label1", "Lumenark for Windows 95"},
                                                       {"Comments", "Comments"},
                                                       {"Label3", "-Propositional logic evaluations."}};
  for (auto [name, text] : texts) QCOMPARE(about.findChild<QLabel*>(name)->text(), QString::fromLatin1(text));
  QVERIFY(!about.findChild<QLabel*>("ProgramIcon")->pixmap().isNull());

  QAction* aboutItem = MenuItem(bench.frame(), "About2");
  aboutItem->trigger();
  QVERIFY(about.isVisible());
  QVERIFY(!about.isModal());
  aboutItem->trigger();
  int boxes = 0;
  for (QWidget* window : QApplication::topLevelWidgets()) boxes += qobject_cast<TAboutBox*>(window) != nullptr;
  QCOMPARE(boxes, 1);
  bench.NewEditor();  // the rest of the program stays usable
  QVERIFY(about.isVisible());

  QTest::mouseClick(about.OKButton(), Qt::LeftButton);
  QVERIFY(!about.isVisible());
  aboutItem->trigger();
  QVERIFY(about.close());
  QVERIFY(!about.isVisible());
}

void WindowTests::stopDialogCannotBeClosed() {
  Workbench bench;
  TForm2& form2 = bench.form2();
  QCOMPARE(form2.windowTitle(), QStringLiteral("Form2"));
  QCOMPARE(form2.pos(), QPoint(200, 108));
  QCOMPARE(form2.size(), QSize(201, 139));
  QVERIFY(form2.windowFlags() & Qt::WindowStaysOnTopHint);
  QCOMPARE(form2.Label1()->text(), QStringLiteral("Click on button to stop calculations."));
  QCOMPARE(form2.Button1()->text(), QStringLiteral("Stop"));
  QCOMPARE(form2.Button1()->objectName(), QStringLiteral("Button1"));

  form2.show();
  QVERIFY(!form2.close());
  QVERIFY(form2.isVisible());
  QVERIFY(form2.horizontalScrollBar()->maximum() > 0);  // the label is wider than the window

  lumenark::StopRequested = false;
  QTest::mouseClick(form2.Button1(), Qt::LeftButton);
  QTest::mouseClick(form2.Button1(), Qt::LeftButton);
  QVERIFY(lumenark::StopRequested);
  QVERIFY(form2.isVisible());

  // Escape presses Stop, with the focus on the button or elsewhere in the dialog.
  for (QWidget* focus : {static_cast<QWidget*>(form2.Button1()), static_cast<QWidget*>(form2.Label1())}) {
    lumenark::StopRequested = false;
    QTest::keyClick(focus, Qt::Key_Escape);
    QVERIFY(lumenark::StopRequested);
    QVERIFY(form2.isVisible());
  }

  lumenark::StopRequested = false;
  form2.hide();
  form2.Button1Click();  // a late click, after the command hid the dialog
  QVERIFY(!lumenark::StopRequested);
}

void WindowTests::helpOpensTheManualUnderItsName() {
  Workbench bench;
  ApplicationHelpFile() = QString::fromLatin1(kStartupHelpFile);
  QCOMPARE(ManualContentsPage(QStringLiteral("tarvelo.hlp")), QStringLiteral(":/help/tarvelo/contents.html"));
  QTest::keyClick(&bench.frame(), Qt::Key_F1);
  QCOMPARE(ApplicationHelpFile(), QStringLiteral("tarvelo.hlp"));
  HelpWindow* help = bench.frame().Help();
  QVERIFY(help != nullptr && help->isVisible());
  const QString page = help->Browser()->source().toString();
  if (QFile::exists(ManualContentsPage(ApplicationHelpFile()))) {
    QCOMPARE(page, QStringLiteral("qrc:/help/tarvelo/contents.html"));
  } else {
    QCOMPARE(page, QStringLiteral("qrc:/help/ManualMissing.html"));
    QVERIFY(help->Browser()->toPlainText().contains(QStringLiteral("manual of Lumenark is missing")));
  }
  MenuItem(bench.frame(), "Help1")->trigger();  // again: the same window
  QCOMPARE(bench.frame().Help(), help);
}

void WindowTests::newEditorStartsWithTheDefaults() {
  Workbench bench;
  lumenark::StopRequested = true;
  TEditForm* editor = bench.frame().NewChild();
  QVERIFY(!lumenark::StopRequested);
  QCOMPARE(editor->windowTitle(), QStringLiteral("Untitled"));
  QCOMPARE(editor->parentWidget()->windowTitle(), QStringLiteral("Untitled"));
  QVERIFY(editor->FileName().isEmpty());
  const lumenark::FormulaDocument& doc = editor->Document();
  QVERIFY(doc.Root == nullptr);
  QCOMPARE(doc.LineWidth, 77);
  QVERIFY(doc.ShowResults);
  QCOMPARE(doc.DetailLevel, 4);

  MemoControl* memo = editor->Memo1();
  QCOMPARE(memo->objectName(), QStringLiteral("Memo1"));
  QVERIFY(memo->hasFocus());
  QVERIFY(!memo->document()->isModified());
  QVERIFY(!memo->document()->isUndoAvailable());
  QCOMPARE(memo->EditRect(), QMargins(3, 2, 3, 2));
  QCOMPARE(memo->frameShape(), QFrame::NoFrame);
  QCOMPARE(memo->lineWrapMode(), QPlainTextEdit::NoWrap);
  QCOMPARE(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  QCOMPARE(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  QCOMPARE(memo->font().pixelSize(), 13);
  QCOMPARE(QFontInfo(memo->font()).fixedPitch(), true);
  QCOMPARE(memo->geometry(), editor->rect());

  MenuItem(bench.frame(), "Right1")->trigger();
  QCOMPARE(memo->TextAlignment(), Qt::AlignRight);
  QVERIFY(!MenuItem(bench.frame(), "Left1")->isChecked());
  MenuItem(bench.frame(), "Right1")->trigger();  // again: still the one checked
  QVERIFY(MenuItem(bench.frame(), "Right1")->isChecked());
  MenuItem(bench.frame(), "WordWrap1")->trigger();
  QVERIFY(memo->WordWrap() && MenuItem(bench.frame(), "WordWrap1")->isChecked());
  QCOMPARE(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  QVERIFY(!memo->document()->isModified());
}

// A new window opens at its design size, frame and title bar included, and the options
// panel lies inside it with its OK button.
void WindowTests::newEditorHasRoomForTheOptionsPanel() {
  Workbench bench;
  TEditForm* editor = bench.NewEditor();
  QCOMPARE(editor->parentWidget()->size(), QSize(440, 294));
  editor->Format1Click();
  QVERIFY(editor->Panel1()->isVisible());
  QVERIFY(editor->rect().contains(editor->Panel1()->geometry()));
  QVERIFY(editor->Memo1()->viewport()->geometry().height() > editor->Panel1()->height());
}

void WindowTests::formatOpensThePanelWithTheWindowsValues() {
  Workbench bench;
  TEditForm* editor = bench.NewEditor("text");
  OptionsPanel* panel = editor->Panel1();
  QVERIFY(!panel->isVisible());
  QCOMPARE(panel->Edit2()->text(), QStringLiteral("79"));
  QCOMPARE(panel->geometry(), QRect(0, 0, 217, 193));
  QCOMPARE(panel->RadioGroup1()->title(), QStringLiteral("Details"));
  QStringList items;
  for (QRadioButton* item : panel->RadioGroup1()->findChildren<QRadioButton*>()) items.append(item->text());
  QCOMPARE(items, (QStringList{"Comment + evaluations", "Step by step + comment", "Step by step only", "Macrosteps",
                               "Nothing"}));
  QCOMPARE(panel->CheckBox1()->text(), QStringLiteral("Results"));
  QCOMPARE(panel->findChild<QLabel*>("Label1")->text(), QStringLiteral("String length opt.:"));
  QCOMPARE(panel->findChild<QLabel*>("Label2")->text(), QStringLiteral("(21-250)"));
  QCOMPARE(panel->BitBtn1()->text(), QStringLiteral("OK"));

  QTest::keyClick(editor->Memo1(), Qt::Key_T, Qt::ControlModifier);
  QVERIFY(panel->isVisible());
  QVERIFY(panel->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == panel);
  QCOMPARE(panel->Edit2()->text(), QStringLiteral("77"));
  QVERIFY(panel->CheckBox1()->isChecked());
  QCOMPARE(panel->ChosenDetail(), 4);
  QVERIFY(editor->Memo1()->isVisible());  // the text stays usable beside the panel
}

void WindowTests::okStoresTheOptions_data() {
  QTest::addColumn<QString>("typed");
  QTest::addColumn<int>("lineWidth");
  QTest::addColumn<bool>("message");
  QTest::newRow("lowest") << "21" << 21 << false;
  QTest::newRow("highest") << "250" << 250 << false;
  QTest::newRow("below") << "20" << 79 << true;
  QTest::newRow("above") << "251" << 79 << true;
  QTest::newRow("zero") << "0" << 79 << true;
  QTest::newRow("negative") << "-5" << 79 << true;
  QTest::newRow("empty") << "" << 79 << true;
  QTest::newRow("letters after") << "80x" << 80 << false;
  QTest::newRow("blanks before") << "  100" << 100 << false;
  QTest::newRow("letters") << "abc" << 79 << true;
  QTest::newRow("hexadecimal") << "$FA" << 250 << false;
}

void WindowTests::okStoresTheOptions() {
  QFETCH(QString, typed);
  QFETCH(int, lineWidth);
  QFETCH(bool, message);
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* editor = bench.NewEditor();
  OptionsPanel* panel = editor->Panel1();
  editor->Format1Click();
  panel->ChooseDetail(4);
  panel->CheckBox1()->setChecked(false);
  panel->ChooseDetail(1);
  panel->Edit2()->setText(typed);
  QTest::mouseClick(panel->BitBtn1(), Qt::LeftButton);

  const lumenark::FormulaDocument& doc = editor->Document();
  QCOMPARE(doc.LineWidth, lineWidth);
  QCOMPARE(doc.DetailLevel, 1);
  QVERIFY(!doc.ShowResults);
  QVERIFY(!panel->isVisible());
  QCOMPARE(dialogs.messages, message ? QStringList{"Current line range between 21 and 250.\r\nDefault value 79 is used."}
                                     : QStringList());
  QCOMPARE(panel->Edit2()->text(), typed);  // until the panel is entered again
  editor->Format1Click();
  QCOMPARE(panel->Edit2()->text(), QString::number(lineWidth));
  QCOMPARE(panel->ChosenDetail(), 1);
  QVERIFY(!panel->CheckBox1()->isChecked());
}

void WindowTests::enteringThePanelAgainReloadsIt() {
  Workbench bench;
  TEditForm* editor = bench.NewEditor();
  OptionsPanel* panel = editor->Panel1();
  editor->Format1Click();
  panel->Edit2()->setFocus();
  panel->Edit2()->setText(QStringLiteral("33"));
  panel->ChooseDetail(0);
  editor->Memo1()->setFocus();  // out of the panel, unconfirmed
  QCOMPARE(panel->Edit2()->text(), QStringLiteral("33"));
  panel->CheckBox1()->setFocus();  // and back in
  QCOMPARE(panel->Edit2()->text(), QStringLiteral("77"));
  QCOMPARE(panel->ChosenDetail(), 4);
  QCOMPARE(editor->Document().LineWidth, 77);
}

void WindowTests::standardBoxesCarryTheirTitlesAndButtons() {
  struct Seen {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
  };
  QList<Seen> seen;
  // Records the box, then answers it with a key.
  auto answer = [&](Qt::Key key) {
    return [&, key](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      if (box == nullptr) return false;
      Seen s{box->windowTitle(), box->text(), box->icon(), {}};
      for (QAbstractButton* button : box->buttons()) s.buttons.append(button->text());
      s.buttons.sort();
      seen.append(s);
      QTest::keyClick(box, key);
      return true;
    };
  };
  UserDialogs standard = StandardDialogs();
  ModalScript script({answer(Qt::Key_Escape), answer(Qt::Key_Return), answer(Qt::Key_Return), answer(Qt::Key_Return),
                      answer(Qt::Key_Return)});
  QCOMPARE(standard.confirm(nullptr, QStringLiteral("Save Changes to 'Untitled'?")), QMessageBox::Cancel);
  QCOMPARE(standard.confirm(nullptr, QStringLiteral("Save Changes to 'Untitled'?")), QMessageBox::Yes);
  standard.message(nullptr, QString::fromLatin1(kLineRangeMessage));
  standard.warning(nullptr, QStringLiteral("x.txt is read only."));
  standard.error(nullptr, QStringLiteral("Cannot open file /x."));
  QVERIFY(script.Done());
  QCOMPARE(seen.size(), 5);
  QCOMPARE(seen[0].title, QStringLiteral("Confirm"));
  QCOMPARE(seen[0].icon, QMessageBox::Question);
  QCOMPARE(seen[0].buttons, (QStringList{"&No", "&Yes", "Cancel"}));
  QCOMPARE(seen[2].title, QStringLiteral("Lumenark for Windows 95"));
  QCOMPARE(seen[2].text, QStringLiteral("Current line range between 21 and 250.\nDefault value 79 is used."));
  QCOMPARE(seen[2].icon, QMessageBox::NoIcon);
  QCOMPARE(seen[2].buttons, QStringList{"OK"});
  QCOMPARE(seen[3].title, QStringLiteral("Warning"));
  QCOMPARE(seen[3].icon, QMessageBox::Warning);
  QCOMPARE(seen[4].title, QStringLiteral("Lumenark for Windows 95"));
  QCOMPARE(seen[4].icon, QMessageBox::Critical);
  QCOMPARE(seen[4].text, WithBreakablePaths(QStringLiteral("Cannot open file /x.")));  // /x stays whole
}

// Several windows share the caption "Untitled": each question comes with its window
// active and in front.
void WindowTests::savePromptBringsItsWindowToTheFront() {
  Workbench bench;
  ScriptedDialogs dialogs;
  QList<TEditForm*> editors;
  for (int i = 0; i < 3; ++i) {
    editors.append(bench.NewEditor());
    editors.last()->Memo1()->insertPlainText(QStringLiteral("changed"));
  }
  QList<TEditForm*> asked, active, front;
  std::deque<QMessageBox::StandardButton> answers{QMessageBox::No, QMessageBox::No, QMessageBox::Cancel};
  Dialogs().confirm = [&](QWidget* parent, const QString&) {
    asked.append(qobject_cast<TEditForm*>(parent));
    active.append(bench.frame().ActiveEditor());
    front.append(bench.frame().Editors().value(0));
    const QMessageBox::StandardButton answer = answers.front();
    answers.pop_front();
    return answer;
  };
  bench.frame().Exit1Click();
  QCOMPARE(asked, (QList<TEditForm*>{editors[2], editors[1], editors[0]}));
  QCOMPARE(active, asked);
  QCOMPARE(front, asked);
  QCOMPARE(bench.frame().Editors().size(), 3);  // Cancel: the program goes on
}

// After a file dialog the window that opened it is active again, without a click:
// its keys work at once.
void WindowTests::closedDialogHandsTheKeysBackToItsWindow() {
  Workbench bench;
  TEditForm* editor = bench.NewEditor("text");
  int dialogs = 0;
  auto cancel = [&dialogs](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    if (dialog == nullptr) return false;
    ++dialogs;
    dialog->reject();
    return true;
  };
  ModalScript script({cancel, cancel});
  QTest::keyClick(editor->Memo1(), Qt::Key_S, Qt::ControlModifier);  // the save dialog, cancelled
  QCOMPARE(dialogs, 1);
  WaitUntil([&] { return bench.frame().isActiveWindow(); });
  QCOMPARE(QApplication::focusWidget(), editor->Memo1());
  QTest::keyClick(editor->Memo1(), Qt::Key_S, Qt::ControlModifier);
  QVERIFY(script.Done());
}

enum class AboutClose { OKButton, Enter, Escape, CloseBox };
Q_DECLARE_METATYPE(AboutClose)

void WindowTests::closedAboutBoxHandsTheKeysBack_data() {
  QTest::addColumn<bool>("withEditor");
  QTest::addColumn<AboutClose>("way");
  QTest::newRow("OK, editor open") << true << AboutClose::OKButton;
  QTest::newRow("Enter, editor open") << true << AboutClose::Enter;
  QTest::newRow("Escape, editor open") << true << AboutClose::Escape;
  QTest::newRow("close box, editor open") << true << AboutClose::CloseBox;
  QTest::newRow("OK, no editor") << false << AboutClose::OKButton;
}

// However the about box goes, the window that was active before takes the keys again:
// the text its typing, the menu bar its shortcuts.
void WindowTests::closedAboutBoxHandsTheKeysBack() {
  QFETCH(bool, withEditor);
  QFETCH(AboutClose, way);
  Workbench bench;
  TEditForm* editor = withEditor ? bench.NewEditor("abc") : nullptr;
  TAboutBox& about = bench.about();
  MenuItem(bench.frame(), "About2")->trigger();
  WaitUntil([&] { return QApplication::activeWindow() == &about; });
  QCOMPARE(QApplication::activeWindow(), &about);
  switch (way) {
    case AboutClose::OKButton: QTest::mouseClick(about.OKButton(), Qt::LeftButton); break;
    case AboutClose::Enter: QTest::keyClick(about.OKButton(), Qt::Key_Return); break;
    case AboutClose::Escape: QTest::keyClick(about.OKButton(), Qt::Key_Escape); break;
    case AboutClose::CloseBox: about.close(); break;
  }
  QVERIFY(!about.isVisible());
  WaitUntil([&] { return QApplication::activeWindow() == &bench.frame(); });
  QCOMPARE(QApplication::activeWindow(), &bench.frame());
  if (editor != nullptr) QCOMPARE(QApplication::focusWidget(), editor->Memo1());
  const qsizetype windows = bench.frame().ClientArea()->subWindowList().size();
  QWidget* keys = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : &bench.frame();
  QTest::keyClick(keys, Qt::Key_N, Qt::ControlModifier);
  QCOMPARE(bench.frame().ClientArea()->subWindowList().size(), windows + 1);
}

// The Details group acts as a radio group: the keyboard enters it at the chosen item,
// and the arrow keys choose (Down and Right the next item, Up and Left the previous,
// round the ends). The range label stays inside the panel.
void WindowTests::arrowKeysChooseTheDetails() {
  Workbench bench;
  TEditForm* editor = bench.NewEditor("text");
  OptionsPanel* panel = editor->Panel1();
  MenuItem(bench.frame(), "Format1")->trigger();
  const auto chosen = [panel] {
    const QList<QRadioButton*> items = panel->RadioGroup1()->findChildren<QRadioButton*>();
    for (int i = 0; i < items.size(); ++i) {
      if (items[i]->isChecked() && items[i]->hasFocus()) return i;
    }
    return -1;
  };
  QCOMPARE(chosen(), 4);  // a new window's "Nothing", with the focus
  const std::pair<Qt::Key, int> steps[] = {{Qt::Key_Up, 3}, {Qt::Key_Left, 2}, {Qt::Key_Down, 3},
                                           {Qt::Key_Right, 4}, {Qt::Key_Down, 0}, {Qt::Key_Up, 4}};
  for (auto [key, expected] : steps) {
    QTest::keyClick(QApplication::focusWidget(), key);
    QCOMPARE(chosen(), expected);
  }
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);     // to Results
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab); // back to the chosen item
  QCOMPARE(chosen(), 3);
  panel->BitBtn1()->click();
  QCOMPARE(int(editor->Document().DetailLevel), 3);
  const QLabel* range = panel->findChild<QLabel*>("Label2");
  QVERIFY2(range->geometry().right() < panel->contentsRect().right() - 1,
           qPrintable(QString::number(range->geometry().right())));
}

// Ctrl+F4 closes the active editor window (with the save prompt), Ctrl+F6 activates
// the next one, as Ctrl+Tab does.
void WindowTests::ctrlF4ClosesAndCtrlF6CyclesTheEditors() {
  Workbench bench;
  ScriptedDialogs dialogs;
  TEditForm* first = bench.NewEditor("first");
  TEditForm* second = bench.NewEditor("second");
  TEditForm* third = bench.NewEditor("third");
  QCOMPARE(bench.frame().ActiveEditor(), third);
  QTest::keyClick(third->Memo1(), Qt::Key_F6, Qt::ControlModifier);
  QVERIFY(bench.frame().ActiveEditor() != third);
  TEditForm* next = bench.frame().ActiveEditor();
  QCOMPARE(QApplication::focusWidget(), next->Memo1());
  QTest::keyClicks(next->Memo1(), QStringLiteral("x"));
  dialogs.confirmAnswers = {QMessageBox::No};
  QTest::keyClick(next->Memo1(), Qt::Key_F4, Qt::ControlModifier);
  QCOMPARE(dialogs.confirms.size(), 1);  // the text was changed
  WaitUntil([&] { return bench.frame().ClientArea()->subWindowList().size() == 2; });
  QCOMPARE(bench.frame().ClientArea()->subWindowList().size(), 2);
  TEditForm* left = bench.frame().ActiveEditor();
  QVERIFY(left == first || left == second || left == third);
  QTest::keyClick(left->Memo1(), Qt::Key_F4, Qt::ControlModifier);  // unchanged: no prompt
  WaitUntil([&] { return bench.frame().ClientArea()->subWindowList().size() == 1; });
  QCOMPARE(bench.frame().ClientArea()->subWindowList().size(), 1);
  QCOMPARE(dialogs.confirms.size(), 1);
}

QTEST_MAIN(WindowTests)
#include "app_window_tests.moc"
