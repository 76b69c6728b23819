#include "frame/FrameForm.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTime>
#include <QTimer>
#include <algorithm>
#include <utility>

#include "dialogs/AboutBox.h"
#include "dialogs/HelpWindow.h"
#include "dialogs/StopDialog.h"
#include "dialogs/UserDialogs.h"
#include "editor/EditForm.h"
#include "formula/NodeAllocator.h"
#include "frame/ApplicationGlobals.h"
#include "frame/HeapStatistics.h"
#include "frame/KeyboardReturn.h"
#include "frame/LongTimeFormat.h"
#include "frame/MenuBarFocusStyle.h"
#include "frame/MenuMerge.h"
#include "frame/ProgramPicture.h"
#include "frame/WindowArrangement.h"
#include "frame/WindowKeys.h"
#include "text/PixelFont.h"

namespace {

template <typename Handler>
QAction* AddItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut,
                 TFrameForm* receiver, Handler handler) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(QString::fromLatin1(name));
  action->setShortcut(shortcut);
  QObject::connect(action, &QAction::triggered, receiver, handler);
  return action;
}

constexpr int kPanelWidths[4] = {80, 100, 80, 50};

// An editor window's outer size when it is made, title bar and frame included.
constexpr QSize kEditorSize(440, 294);

// The width a status panel needs to show text without touching its edges.
int PanelWidthFor(const QLabel& panel, const QString& text) {
  const QMargins frame = panel.contentsMargins();
  return frame.left() + panel.indent() + QFontMetrics(panel.font()).horizontalAdvance(text) + panel.indent() +
         frame.right();
}

// The widest figure the memory panels show: ten digits, each the widest of the font.
QString WidestFigure(const QFont& font) {
  const QFontMetrics metrics(font);
  QChar widest = QLatin1Char('0');
  for (char digit = '1'; digit <= '9'; ++digit) {
    if (metrics.horizontalAdvance(QLatin1Char(digit)) > metrics.horizontalAdvance(widest)) widest = QLatin1Char(digit);
  }
  return QString(10, widest);
}

}  // namespace

TFrameForm::TFrameForm() : mdiArea_(new QMdiArea(this)) {
  setObjectName(QStringLiteral("FrameForm"));
  setWindowTitle(ApplicationTitle());
  setWindowIcon(QIcon(ProgramPicture()));
  setFont(PixelFont(QStringLiteral("System"), 13));
  mdiArea_->setObjectName(QStringLiteral("ClientArea"));
  mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(mdiArea_);
  connect(mdiArea_, &QMdiArea::subWindowActivated, this, &TFrameForm::MergeMenus);

  CreateMenus();
  CreateStatusBar();
  MergeMenus();
  AddWindowKeys(*this, *mdiArea_);
  keyboardReturn_ = std::make_unique<KeyboardReturn>(*this);

  // The platform's default placement: a large part of the screen, a little off its corner.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect available = screen->availableGeometry();
    resize(available.width() * 3 / 4, available.height() * 3 / 4);
    move(available.topLeft() + QPoint(available.width() / 16, available.height() / 16));
  }
}

// While the window is destroyed, the area would still report activations into it.
TFrameForm::~TFrameForm() { disconnect(mdiArea_, nullptr, this, nullptr); }

void TFrameForm::Attach(TAboutBox& aboutBox, TForm2& stopDialog) {
  aboutBox_ = &aboutBox;
  stopDialog_ = &stopDialog;
}

void TFrameForm::CreateMenus() {
  QMenu* file1 = AddMenu(this, "File1", QStringLiteral("&File"), 0);
  AddItem(file1, "New1", QStringLiteral("&New"), QKeySequence(Qt::CTRL | Qt::Key_N), this, &TFrameForm::NewChild);
  AddItem(file1, "Open1", QStringLiteral("&Open..."), QKeySequence(Qt::CTRL | Qt::Key_O), this,
          &TFrameForm::OpenChild);
  file1->addSeparator()->setObjectName(QStringLiteral("Separator3"));
  AddItem(file1, "Exit1", QStringLiteral("E&xit"), QKeySequence(), this, &TFrameForm::Exit1Click);

  window1_ = AddMenu(this, "Window1", QStringLiteral("&Window"), 9);
  AddItem(window1_, "Tile1", QStringLiteral("&Tile"), QKeySequence(), this, &TFrameForm::Tile1Click);
  AddItem(window1_, "Cascade1", QStringLiteral("&Cascade"), QKeySequence(), this, &TFrameForm::Cascade1Click);
  AddItem(window1_, "ArrangeIcons1", QStringLiteral("&Arrange Icons"), QKeySequence(), this,
          &TFrameForm::ArrangeIcons1Click);
  connect(window1_, &QMenu::aboutToShow, this, &TFrameForm::FillWindowList);

  QMenu* about1 = AddMenu(this, "About1", QStringLiteral("Info"), 9);
  AddItem(about1, "Help1", QStringLiteral("Help"), QKeySequence(Qt::Key_F1), this, &TFrameForm::Help1Click);
  AddItem(about1, "About2", QStringLiteral("About"), QKeySequence(), this, &TFrameForm::About2Click);

  frameMenus_ = {file1, window1_, about1};
  menuBar()->setObjectName(QStringLiteral("MainMenu1"));
  auto* focusStyle = new MenuBarFocusStyle;
  focusStyle->setParent(menuBar());
  menuBar()->setStyle(focusStyle);
}

void TFrameForm::CreateStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("StatusBar1"));
  bar->setFixedHeight(19);
  bar->setSizeGripEnabled(true);
  for (int i = 0; i < 4; ++i) {
    auto* panel = new QLabel(bar);
    panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
    panel->setFixedWidth(kPanelWidths[i]);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setIndent(2);
    bar->addWidget(panel);
    panels_[i] = panel;
  }
  bar->installEventFilter(this);
  timeFormat_ = LongTimeFormat(QLocale::system());
  FitPanels();

  timer1_ = new QTimer(this);
  timer1_->setObjectName(QStringLiteral("Timer1"));
  timer1_->setInterval(200);
  connect(timer1_, &QTimer::timeout, this, &TFrameForm::Timer1Timer);
  timer1_->start();
}

// The panels keep their widths where their texts fit, and grow as far as the font
// needs for the longest time (morning and evening) and ten-digit memory figures.
void TFrameForm::FitPanels() {
  const QLocale locale = QLocale::system();
  QStringList texts[4];
  for (const QTime time : {QTime(10, 58, 58), QTime(22, 58, 58)}) texts[0].append(locale.toString(time, timeFormat_));
  texts[1].append(WidestFigure(panels_[1]->font()));
  texts[2].append(WidestFigure(panels_[2]->font()));
  texts[3].append(QString::fromLatin1(kBusyNote));
  for (int i = 0; i < 4; ++i) {
    int width = kPanelWidths[i];
    for (const QString& text : texts[i]) width = std::max(width, PanelWidthFor(*panels_[i], text));
    panels_[i]->setFixedWidth(width);
  }
}

// ---- Editor windows ------------------------------------------------------------------

// The window gets its size before the area places it, so that the placement counts
// with the size the window will have.
TEditForm* TFrameForm::CreateChild() {
  auto* editor = new TEditForm(*this, *stopDialog_);
  auto* window = new QMdiSubWindow;
  window->setWidget(editor);
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->setWindowIcon(editor->windowIcon());
  LeaveWindowKeysToFrame(*window);
  const QSize room = mdiArea_->viewport()->size();
  window->resize(room.isEmpty() ? kEditorSize : kEditorSize.boundedTo(room));
  mdiArea_->addSubWindow(window);
  connect(window, &QObject::destroyed, this, &TFrameForm::MergeMenus, Qt::QueuedConnection);
  window->show();
  mdiArea_->setActiveSubWindow(window);
  return editor;
}

TEditForm* TFrameForm::NewChild() {
  TEditForm* editor = CreateChild();
  editor->setFocus();
  return editor;
}

void TFrameForm::OpenChild() {
  const QString fileName = Dialogs().openFileName(this);
  if (fileName.isEmpty()) return;
  OpenFile(fileName);
}

TEditForm* TFrameForm::OpenFile(const QString& fileName) {
  TEditForm* editor = CreateChild();
  editor->Open(fileName);
  editor->setFocus();
  return editor;
}

TEditForm* TFrameForm::ActiveEditor() const {
  QMdiSubWindow* current = mdiArea_->currentSubWindow();
  if (current == nullptr || !mdiArea_->subWindowList().contains(current)) return nullptr;
  return qobject_cast<TEditForm*>(current->widget());
}

QList<TEditForm*> TFrameForm::Editors() const {
  QList<TEditForm*> editors;
  QList<QMdiSubWindow*> windows = mdiArea_->subWindowList(QMdiArea::StackingOrder);
  std::reverse(windows.begin(), windows.end());
  for (QMdiSubWindow* window : windows) {
    if (auto* editor = qobject_cast<TEditForm*>(window->widget())) editors.append(editor);
  }
  return editors;
}

// The area reports no active window while the program is not the active application;
// the menu bar then keeps the menus of the editor window that was active.
void TFrameForm::MergeMenus() {
  const TEditForm* editor = ActiveEditor();
  ShowBusyNote();
  const QList<QMenu*> menus = MergedMenus(frameMenus_, editor != nullptr ? editor->MenuBarMenus() : QList<QMenu*>());
  QList<QAction*> wanted;
  for (const QMenu* menu : menus) wanted.append(menu->menuAction());
  if (menuBar()->actions() == wanted) return;
  for (QAction* action : menuBar()->actions()) menuBar()->removeAction(action);
  menuBar()->addActions(wanted);
}

void TFrameForm::FillWindowList() {
  for (QAction* entry : windowList_) delete entry;
  windowList_.clear();
  const QList<QMdiSubWindow*> windows = mdiArea_->subWindowList();
  if (windows.isEmpty()) return;
  windowList_.append(window1_->addSeparator());
  QMdiSubWindow* current = mdiArea_->currentSubWindow();
  for (int i = 0; i < windows.size(); ++i) {
    QMdiSubWindow* window = windows[i];
    QAction* entry = window1_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(window->windowTitle()));
    entry->setCheckable(true);
    entry->setChecked(window == current);
    connect(entry, &QAction::triggered, this, [this, window] {
      if (mdiArea_->subWindowList().contains(window)) mdiArea_->setActiveSubWindow(window);
    });
    windowList_.append(entry);
  }
}

void TFrameForm::Tile1Click() { TileHorizontally(*mdiArea_); }

void TFrameForm::Cascade1Click() { Cascade(*mdiArea_); }

void TFrameForm::ArrangeIcons1Click() { ArrangeIcons(*mdiArea_); }

QPrinter& TFrameForm::Printer() {
  if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *printer_;
}

// ---- Ending ----------------------------------------------------------------------------

void TFrameForm::Exit1Click() { close(); }

// Every editor window is asked in turn, front to back; the first that refuses keeps
// the program running. Nothing closes while a command runs: the exit waits for its end.
void TFrameForm::closeEvent(QCloseEvent* event) {
  if (TEditForm::RunningCommands() > 0) {
    exitDeferred_ = true;
    event->ignore();
    return;
  }
  for (TEditForm* editor : Editors()) {
    if (!editor->FormCloseQuery()) {
      event->ignore();
      return;
    }
  }
  event->accept();
  emit Closed();
}

void TFrameForm::CarryOutDeferredExit() {
  if (std::exchange(exitDeferred_, false)) close();
}

// ---- Info ------------------------------------------------------------------------------

void TFrameForm::About2Click() {
  aboutBox_->show();
  aboutBox_->raise();
  aboutBox_->activateWindow();
  aboutBox_->OKButton()->setFocus();
}

void TFrameForm::Help1Click() {
  ApplicationHelpFile() = QString::fromLatin1(kHelpFile);
  if (helpWindow_ == nullptr) helpWindow_ = new HelpWindow(this);
  helpWindow_->ShowContents(ApplicationHelpFile());
}

// ---- Status bar ------------------------------------------------------------------------

void TFrameForm::Timer1Timer() {
  // Between commands, memory that a large command let go of goes back to the system.
  if (TEditForm::RunningCommands() == 0) lumenark::ReleaseFreeNodeMemory();
  panels_[0]->setText(QLocale::system().toString(QTime::currentTime(), timeFormat_));
  // The node pool counts in these figures; a large command makes them longer than the
  // ten digits the panels were made for, and a panel then grows to show them whole.
  for (const auto& [panel, figure] : {std::pair{panels_[1], HeapAllocated()}, std::pair{panels_[2], HeapFree()}}) {
    const QString text = QString::number(figure);
    panel->setText(text);
    if (PanelWidthFor(*panel, text) > panel->width()) panel->setFixedWidth(PanelWidthFor(*panel, text));
  }
}

// The pointer is the wait cursor over the whole frame while any command runs: the
// menu bar, the status bar, the editor windows' frames (whose title bars give up their
// own cursor as soon as the pointer moves over them). Texts that can be typed into keep
// the I-beam; the running command's text shows the wait cursor (TEditForm::ShowBusy).
void TFrameForm::ShowBusyNote() {
  const TEditForm* editor = ActiveEditor();
  const bool busy = editor != nullptr && editor->CommandRunning();
  panels_[3]->setText(busy ? QString::fromLatin1(kBusyNote) : QString());
  if (TEditForm::RunningCommands() > 0) setCursor(Qt::WaitCursor);
  else unsetCursor();
}

void TFrameForm::StatusBar1Click() {
  panels_[0]->setText(QLocale::system().toString(QTime::currentTime(), timeFormat_));
}

bool TFrameForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    StatusBar1Click();
  }
  return QMainWindow::eventFilter(watched, event);
}
