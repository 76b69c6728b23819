#pragma once
// The frame window FrameForm: the program's main window. It holds the editor windows
// in a multiple-document area, carries the menu bar into which the active editor
// window's menus are merged, and the status bar with the clock and the memory
// manager's figures. It does no formula work: it makes editor windows, hands them
// files, arranges them, and reaches the about box and help.

#include <QList>
#include <QMainWindow>
#include <memory>

class HelpWindow;
class KeyboardReturn;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPrinter;
class QTimer;
class TAboutBox;
class TEditForm;
class TForm2;

// The note in the status bar's last panel while the active editor window runs a
// command: its menus, its text and its closing wait until the command has ended.
inline constexpr char kBusyNote[] = "Busy";

class TFrameForm final : public QMainWindow {
  Q_OBJECT

 public:
  TFrameForm();
  ~TFrameForm() override;

  // The about box and the stop dialog, created after the frame.
  void Attach(TAboutBox& aboutBox, TForm2& stopDialog);

  QMdiArea* ClientArea() const { return mdiArea_; }
  TForm2& StopDialog() const { return *stopDialog_; }
  TAboutBox& AboutBox() const { return *aboutBox_; }
  HelpWindow* Help() const { return helpWindow_; }
  // The editor window whose menus are in the menu bar (none without editor windows).
  TEditForm* ActiveEditor() const;
  // The editor windows from the front to the back.
  QList<TEditForm*> Editors() const;
  QLabel* StatusPanel(int index) const { return panels_[index]; }
  // The program's one printer: the print and page setup dialogs of every editor
  // window set it up, and every print job goes to it. Made when first needed.
  QPrinter& Printer();
  // The last status panel shows kBusyNote while the active editor window runs a
  // command, and nothing otherwise, and the frame shows the wait cursor while any
  // command runs; called when a command starts or ends and when another window
  // becomes active.
  void ShowBusyNote();
  // An exit asked for while a command ran (File > Exit, the close box) waits for the
  // end of the commands and of what the user asked of their windows meanwhile; the
  // last command to end calls this at the window system's next turn, which then closes.
  void CarryOutDeferredExit();

 public slots:
  TEditForm* NewChild();
  void OpenChild();
  // Opens a file in a new editor window, as File > Open does with the name chosen.
  TEditForm* OpenFile(const QString& fileName);
  void Exit1Click();
  void Tile1Click();
  void Cascade1Click();
  void ArrangeIcons1Click();
  void About2Click();
  void Help1Click();
  void StatusBar1Click();
  void Timer1Timer();

 signals:
  // The frame has closed: the program ends.
  void Closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateMenus();
  void CreateStatusBar();
  void FitPanels();
  void MergeMenus();
  void FillWindowList();
  TEditForm* CreateChild();

  QMdiArea* mdiArea_;
  TAboutBox* aboutBox_ = nullptr;
  TForm2* stopDialog_ = nullptr;
  HelpWindow* helpWindow_ = nullptr;
  QList<QMenu*> frameMenus_;  // File, Window, Info
  QMenu* window1_ = nullptr;
  QList<QAction*> windowList_;  // the Window menu's entries for the editor windows
  QLabel* panels_[4] = {};
  QTimer* timer1_ = nullptr;
  QString timeFormat_;  // the locale's long time format, read at start-up
  std::unique_ptr<QPrinter> printer_;
  std::unique_ptr<KeyboardReturn> keyboardReturn_;  // goes before the windows it watches
  bool exitDeferred_ = false;
};
