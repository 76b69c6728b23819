#include "editor/EditForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMenuBar>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

#include "dialogs/ErrorReport.h"
#include "dialogs/StopDialog.h"
#include "dialogs/UserDialogs.h"
#include "editor/InputTicker.h"
#include "editor/MenuKeyFilter.h"
#include "editor/OptionsPanel.h"
#include "editor/RunningCommand.h"
#include "editor/TypeAhead.h"
#include "frame/FrameForm.h"
#include "frame/ProgramPicture.h"
#include "analysis/FormulaText.h"
#include "minimum/KarnaughMap.h"
#include "printing/PrintJob.h"
#include "runtime/EngineGlobals.h"
#include "runtime/EngineStack.h"
#include "text/PixelFont.h"
#include "views/KarnaughMapWindow.h"

using lumenark::FormulaCommand;

namespace {

int runningCommands = 0;

bool IsInside(const QWidget* container, const QWidget* widget) {
  return widget != nullptr && (widget == container || container->isAncestorOf(widget));
}

}  // namespace

RunningCommand::RunningCommand(TEditForm& form) : form_(form), memoHadFocus_(form.memo1_->hasFocus()) {
  form_.commandRunning_ = true;
  ++runningCommands;
  form_.memo1_->SetEngineWriting(true);
  InputTicker::Clock().CommandStarted();
  form_.host_.RestartInputInterval();
  form_.text_.BeginCommand();
  form_.ShowBusy(true);
}

RunningCommand::~RunningCommand() {
  form_.text_.EndCommand();
  form_.host_.DrawTextAlways();
  InputTicker::Clock().CommandEnded();
  form_.memo1_->SetEngineWriting(false);
  --runningCommands;
  form_.commandRunning_ = false;
  form_.ShowBusy(false);
  if (memoHadFocus_ && form_.memo1_->isVisible()) form_.memo1_->setFocus();
  form_.typeAhead_->CommandEnded();
  // After what waits in the window, which may save it.
  if (runningCommands == 0) {
    QMetaObject::invokeMethod(&form_.frame_, &TFrameForm::CarryOutDeferredExit, Qt::QueuedConnection);
  }
}

TEditForm::TEditForm(TFrameForm& frame, TForm2& stopDialog)
    : frame_(frame),
      stopDialog_(stopDialog),
      memo1_(new MemoControl(this)),
      text_(*memo1_),
      host_(*this, text_, *memo1_, stopDialog),
      doc_(text_, host_) {
  setObjectName(QStringLiteral("TEditForm"));
  setFont(PixelFont(QStringLiteral("System"), 13));
  setWindowIcon(QIcon(ProgramPicture()));
  SetCaption(QStringLiteral("Untitled"));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(memo1_);
  setFocusProxy(memo1_);
  memo1_->installEventFilter(new MenuKeyFilter([this] { return MergedMenuBar(); }, [this] { EnableEditItems(); }, this));
  typeAhead_ = new TypeAhead(*memo1_, [this] { return commandRunning_; });
  memo1_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(memo1_, &QWidget::customContextMenuRequested, this, &TEditForm::ShowMemoPopUp);

  panel1_ = new OptionsPanel(this);
  connect(panel1_->BitBtn1(), &QPushButton::clicked, this, &TEditForm::BitBtn1Click);
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
    if (IsInside(panel1_, now) && !IsInside(panel1_, old)) Panel1Enter();
  });

  CreateMenus();
  FormCreate();
  resize(440, 294);
}

TEditForm::~TEditForm() {
  // The tree may be as deep as its formula was long; freeing it recurses as deep.
  lumenark::RunOnEngineStack([this] { doc_.DisposeTree(); });
}

void TEditForm::FormCreate() {
  SetEditRect();
  // The document starts with the engine defaults. A new window clears a stop request,
  // unless a command in another window is running, whose stop it would swallow.
  if (runningCommands == 0) lumenark::StopRequested = false;
}

void TEditForm::SetEditRect() { memo1_->SetEditRect(QMargins(3, 2, 3, 2)); }

void TEditForm::SetCaption(const QString& caption) { setWindowTitle(caption); }

QList<QMenu*> TEditForm::MenuBarMenus() const { return {file1_, edit1_, character1_, formula1_}; }

QMenuBar* TEditForm::MergedMenuBar() const {
  QMenuBar* bar = frame_.menuBar();
  return bar->actions().contains(file1_->menuAction()) ? bar : nullptr;
}

bool TEditForm::InputWaiting() const { return typeAhead_->Waiting(); }

int TEditForm::RunningCommands() { return runningCommands; }

QWidget* TEditForm::OuterWindow() const {
  if (auto* window = qobject_cast<QMdiSubWindow*>(parentWidget())) return window;
  return const_cast<TEditForm*>(this);
}

void TEditForm::Activate() {
  if (auto* window = qobject_cast<QMdiSubWindow*>(parentWidget())) frame_.ClientArea()->setActiveSubWindow(window);
  memo1_->setFocus();
}

// The text's own pointer is the I-beam; the rest of the window, title bar and frame
// included, takes the window's.
void TEditForm::ShowBusy(bool busy) {
  if (busy) OuterWindow()->setCursor(Qt::WaitCursor);
  else OuterWindow()->unsetCursor();
  memo1_->viewport()->setCursor(busy ? Qt::WaitCursor : Qt::IBeamCursor);
  frame_.ShowBusyNote();
}

void TEditForm::closeEvent(QCloseEvent* event) {
  if (typeAhead_->Holds()) {
    typeAhead_->Defer([this] { Close1Click(); });
    event->ignore();
    return;
  }
  if (!FormCloseQuery()) {
    event->ignore();
    return;
  }
  event->accept();
}

// ---- Formula menu --------------------------------------------------------------------

void TEditForm::RunCommand(FormulaCommand command) {
  if (commandRunning_) return;
  RunningCommand running(*this);
  try {
    lumenark::RunFormulaCommand(doc_, command);
  } catch (const std::exception& error) {
    // Whatever the command left undone of its frame: the text is shown again and the
    // stop dialog hidden, as after any command.
    text_.Flush();
    memo1_->setVisible(true);
    stopDialog_.hide();
    lumenark::StopRequested = false;
    ShowErrorReport(this, QString::fromLocal8Bit(error.what()));
  }
  ReportOverflow();
}

// A command whose output filled the text control was stopped there; the user learns
// why once it has ended. The stop was asked for this command only.
void TEditForm::ReportOverflow() {
  text_.Flush();
  if (!text_.Overflowed()) return;
  lumenark::StopRequested = false;
  ShowErrorReport(this, QStringLiteral("Text exceeds memo capacity"));
}

void TEditForm::Cmpile1Click() { RunCommand(FormulaCommand::Compile); }
void TEditForm::Decompile2Click() { RunCommand(FormulaCommand::Decompile); }
void TEditForm::DecompileTreeClick() { RunCommand(FormulaCommand::Tree); }
void TEditForm::Conjunctions1Click() { RunCommand(FormulaCommand::Conjunctions); }
void TEditForm::Implications1Click() { RunCommand(FormulaCommand::Implications); }
void TEditForm::Disjunctions1Click() { RunCommand(FormulaCommand::Disjunctions); }
void TEditForm::Literals1Click() { RunCommand(FormulaCommand::Literals); }
void TEditForm::Conjunctive1Click() { RunCommand(FormulaCommand::Conjunctive); }
void TEditForm::Disjunctive1Click() { RunCommand(FormulaCommand::Disjunctive); }
void TEditForm::MinimalCNF1Click() { RunCommand(FormulaCommand::MinimalCNF); }
void TEditForm::MinimalDNF1Click() { RunCommand(FormulaCommand::MinimalDNF); }
void TEditForm::Evaluate1Click() { RunCommand(FormulaCommand::Evaluate); }
void TEditForm::Decision1Click() { RunCommand(FormulaCommand::Decision); }
void TEditForm::TruthTable1Click() { RunCommand(FormulaCommand::TruthTable); }
void TEditForm::Model1Click() { RunCommand(FormulaCommand::Model); }
void TEditForm::Countermodel1Click() { RunCommand(FormulaCommand::Countermodel); }
void TEditForm::Latex1Click() { RunCommand(FormulaCommand::Latex); }
void TEditForm::MinimumDNF1Click() { RunCommand(FormulaCommand::MinimumDNF); }
void TEditForm::MinimumCNF1Click() { RunCommand(FormulaCommand::MinimumCNF); }

// The map the command drew, if it drew one, goes to the window beside, with the formula
// it is of (the window's tree, which the command leaves as it is); a command that drew
// none closes that window.
void TEditForm::KarnaughMap1Click() {
  RunCommand(FormulaCommand::KarnaughMap);
  const std::optional<lumenark::KarnaughMap> map = lumenark::TakeDrawnKarnaughMap(doc_);
  if (!map) {
    if (karnaughWindow_ != nullptr) karnaughWindow_->close();
    return;
  }
  if (karnaughWindow_ == nullptr) {
    karnaughWindow_ = new KarnaughMapWindow(
        this, [this]() -> QPrinter& { return frame_.Printer(); },
        [this] { return PdfFileName(FileName(), windowTitle() + QStringLiteral(" map")); });
  }
  // A heading of a few lines: a longer formula is cut, and says so.
  constexpr std::size_t kLongestHeading = 1000;
  std::string formula = lumenark::FormulaString(doc_.Root, kLongestHeading);
  if (formula.size() > kLongestHeading) formula = formula.substr(0, kLongestHeading) + "...";
  karnaughWindow_->ShowMap(*map, windowTitle(), QString::fromLatin1(formula.data(), static_cast<qsizetype>(formula.size())));
}

void TEditForm::Tableau1Click() { RunCommand(FormulaCommand::Tableau); }
void TEditForm::Equivalence1Click() { RunCommand(FormulaCommand::Equivalence); }
void TEditForm::Dimacs1Click() { RunCommand(FormulaCommand::Dimacs); }

// ---- Options panel -------------------------------------------------------------------

void TEditForm::Format1Click() {
  if (commandRunning_) return;
  panel1_->show();
  panel1_->raise();
  panel1_->setFocus();  // entering the panel loads it
  panel1_->FocusChosenDetail();
}

void TEditForm::Panel1Enter() { panel1_->Load(doc_); }

void TEditForm::BitBtn1Click() {
  if (commandRunning_) return;
  if (!panel1_->Store(doc_)) Dialogs().message(this, QString::fromLatin1(kLineRangeMessage));
  panel1_->hide();
  memo1_->setFocus();
}

// ---- File menu: the frame's commands -------------------------------------------------

void TEditForm::New1Click() {
  if (!commandRunning_) frame_.NewChild();
}

void TEditForm::Open1Click() {
  if (!commandRunning_) frame_.OpenChild();
}

// The frame waits with its exit until no command runs.
void TEditForm::Exit1Click() { frame_.Exit1Click(); }

void TEditForm::Close1Click() {
  if (auto* window = qobject_cast<QMdiSubWindow*>(parentWidget())) window->close();
  else close();
}

void TEditForm::Save1Requested() {
  if (typeAhead_->Holds()) typeAhead_->Defer([this] { Save1Click(); });
  else Save1Click();
}
