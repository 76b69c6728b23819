#pragma once
// The editor window TEditForm: a child window of the frame whose client area is the
// text control Memo1, with its own File, Edit, Character and Formula menus (merged
// into the frame's menu bar while it is active), the output options panel Panel1, and
// its FormulaDocument, the engine state of the window.
//
// While a Formula command runs in the window, the engine lets the window system
// process pending input, so the user can reach the menus. Nothing may then pull the
// document away from the running operation: the window's own menu commands and its
// closing do nothing until the command has ended. Other windows, the stop dialog, the
// status bar, the about box and help stay usable.

#include <QList>
#include <QWidget>

#include "commands/CommandFrame.h"
#include "editor/ControlEditorText.h"
#include "editor/MemoControl.h"
#include "editor/WindowHost.h"
#include "formula/FormulaDocument.h"

class FindReplaceDialog;
class KarnaughMapWindow;
class OptionsPanel;
class QAction;
class QMenu;
class QMenuBar;
class TypeAhead;
class TForm2;
class TFrameForm;

enum class SaveOutcome {
  Saved,      // the text is in the file; the window is no longer marked as changed
  Cancelled,  // the save dialog was cancelled; nothing changed
  Failed,     // an error was reported; the file is as it was, the window still changed
};

class TEditForm final : public QWidget {
  Q_OBJECT

 public:
  TEditForm(TFrameForm& frame, TForm2& stopDialog);
  ~TEditForm() override;  // FormDestroy: disposes the formula tree

  // ---- Files ---------------------------------------------------------------------
  void Open(const QString& fileName);  // loads the file into this window
  SaveOutcome Save1Click();            // saves under FileName, or asks for a name
  SaveOutcome SaveAs1Click();          // asks for a name, then saves
  bool FormCloseQuery();               // the save prompt; true if the window may close
  QString FileName() const;

  // ---- State ---------------------------------------------------------------------
  lumenark::FormulaDocument& Document() { return doc_; }
  ControlEditorText& Text() { return text_; }
  MemoControl* Memo1() const { return memo1_; }
  OptionsPanel* Panel1() const { return panel1_; }
  QList<QMenu*> MenuBarMenus() const;  // File, Edit, Character, Formula
  QMenu* MemoPopUp() const { return memoPopUp_; }
  bool CommandRunning() const { return commandRunning_; }
  // Keys typed and requests made while a command ran, not yet carried out (TypeAhead.h).
  bool InputWaiting() const;
  KarnaughMapWindow* KarnaughWindow() const { return karnaughWindow_; }  // made by the first map
  static int RunningCommands();  // commands running now, in all windows
  // Makes this the active editor window, in front of the others (its menus in the menu
  // bar, the keyboard in its text).
  void Activate();

 public slots:
  // File menu. Save and Close asked for while a command runs are carried out when it
  // has ended, in their turn with the keys typed meanwhile (TypeAhead.h).
  void New1Click();
  void Open1Click();
  void Close1Click();
  void Save1Requested();
  void Exit1Click();
  void Print1Click();
  void PrintSetup1Click();
  // Edit menu and context menu
  void CutToClipboard();
  void CopyToClipboard();
  void PasteFromClipboard();
  void Delete();
  void SelectAll();
  void SetEditItems();
  void SetPopUpItems();
  void Format1Click();
  // Edit menu, after the items above: undo and redo of the text's changes, and search
  void Undo1Click();
  void Redo1Click();
  void Find1Click();
  void Replace1Click();
  void FindNext1Click();
  // Character menu
  void AlignClick(QAction* item);
  void SetWordWrap();
  void SetFont();
  // Character menu, after the items above: the zoom of the text (not of its font)
  void ZoomIn1Click();
  void ZoomOut1Click();
  void NormalSize1Click();
  // Formula menu
  void Cmpile1Click();
  void Decompile2Click();
  void DecompileTreeClick();
  void Conjunctions1Click();
  void Implications1Click();
  void Disjunctions1Click();
  void Literals1Click();
  void Conjunctive1Click();
  void Disjunctive1Click();
  void MinimalCNF1Click();
  void MinimalDNF1Click();
  void Evaluate1Click();
  void Decision1Click();
  // After the Formula menu's separator: analyses that leave the tree as it is
  void TruthTable1Click();
  void Model1Click();
  void Countermodel1Click();
  void Latex1Click();
  // After them: the proved minimum forms, and the Karnaugh map, also shown in a window
  // of its own beside the editor window (KarnaughWindow)
  void MinimumDNF1Click();
  void MinimumCNF1Click();
  void KarnaughMap1Click();
  // After the analyses: the tableau of the formula's negation, the equivalence of the
  // two formulas of the selection, the formula as a CNF in DIMACS
  void Tableau1Click();
  void Equivalence1Click();
  void Dimacs1Click();
  // File > Export as LaTeX...: the document as a standalone LaTeX file (and its PDF
  // where pdflatex is installed)
  void ExportLatex1Click();
  // File > Import DIMACS...: a DIMACS file's CNF inserted at the caret as a formula line,
  // selected, ready for a command
  void ImportDimacs1Click();
  // Options panel
  void Panel1Enter();
  void BitBtn1Click();

 protected:
  void closeEvent(QCloseEvent* event) override;  // FormCloseQuery; FormClose destroys

 private:
  friend class RunningCommand;

  void FormCreate();
  void SetEditRect();
  void CreateMenus();
  void EnableEditItems();
  bool IsReadOnly(const QString& fileName);
  void ShowTextTooLarge(bool lineTooLong = false);
  void SetCaption(const QString& caption);
  void RunCommand(lumenark::FormulaCommand command);
  void ReportOverflow();
  void ShowMemoPopUp(const QPoint& position);
  // While a command runs, the pointer over the window is the wait cursor and the
  // status bar notes that the window is busy.
  void ShowBusy(bool busy);
  QWidget* OuterWindow() const;
  QMenuBar* MergedMenuBar() const;  // the frame's menu bar while it holds this window's menus  // the window with title bar and frame in the area (or itself)
  bool ReportPrinterProblem();
  FindReplaceDialog& FindDialog();  // made when first needed
  void MakeLatexPdf(const QString& texPath);  // pdflatex beside the file, where installed

  TFrameForm& frame_;
  TForm2& stopDialog_;
  MemoControl* memo1_;
  ControlEditorText text_;
  WindowHost host_;
  lumenark::FormulaDocument doc_;
  OptionsPanel* panel1_ = nullptr;
  FindReplaceDialog* findDialog_ = nullptr;
  KarnaughMapWindow* karnaughWindow_ = nullptr;
  TypeAhead* typeAhead_ = nullptr;
  bool commandRunning_ = false;

  QMenu* file1_ = nullptr;
  QMenu* edit1_ = nullptr;
  QMenu* character1_ = nullptr;
  QMenu* formula1_ = nullptr;
  QMenu* memoPopUp_ = nullptr;
  QAction* cut1_ = nullptr;
  QAction* copy1_ = nullptr;
  QAction* paste1_ = nullptr;
  QAction* delete1_ = nullptr;
  QAction* cut2_ = nullptr;
  QAction* copy2_ = nullptr;
  QAction* paste2_ = nullptr;
  QAction* left1_ = nullptr;
  QAction* right1_ = nullptr;
  QAction* center1_ = nullptr;
  QAction* wordWrap1_ = nullptr;
};
