// The editor window's menu bar (File, Edit, Character, Formula) and the context menu
// of its text. The keys that appear twice in the menu bar (Ctrl+C for Copy and for
// Conjunctions, Ctrl+V for Paste and for Evaluate) belong to the item that comes first
// in menu-bar order; the later item shows the key in its caption and runs only from
// the menu.

#include <QAction>
#include <QMenu>
#include <functional>

#include "editor/EditForm.h"
#include "frame/MenuMerge.h"

namespace {

QMenu* AddSubmenu(QMenu* parent, const char* name, const QString& caption) {
  QMenu* submenu = parent->addMenu(caption);
  submenu->setObjectName(QString::fromLatin1(name));
  submenu->menuAction()->setObjectName(QString::fromLatin1(name));
  return submenu;
}

void AddSeparator(QMenu* menu, const char* name = nullptr) {
  QAction* separator = menu->addSeparator();
  if (name != nullptr) separator->setObjectName(QString::fromLatin1(name));
}

}  // namespace

void TEditForm::CreateMenus() {
  // Every item of the window waits while a command runs in the window.
  auto item = [this](QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut,
                     std::function<void()> handler) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    if (handler) {
      connect(action, &QAction::triggered, this, [this, handler] {
        if (!commandRunning_) handler();
      });
    }
    return action;
  };
  auto run = [this](void (TEditForm::*handler)()) { return std::bind_front(handler, this); };
  const QKeySequence none;

  file1_ = AddMenu(this, "File1", QStringLiteral("&File"), 0);
  item(file1_, "New1", QStringLiteral("&New"), QKeySequence(Qt::CTRL | Qt::Key_N), run(&TEditForm::New1Click));
  item(file1_, "Open1", QStringLiteral("&Open"), QKeySequence(Qt::CTRL | Qt::Key_O), run(&TEditForm::Open1Click));
  // Close, Save and Exit are not lost while a command runs: they wait for its end.
  QAction* close1 = item(file1_, "Close1", QStringLiteral("&Close"), none, nullptr);
  connect(close1, &QAction::triggered, this, &TEditForm::Close1Click);
  AddSeparator(file1_, "N1");
  QAction* save1 = item(file1_, "Save1", QStringLiteral("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S), nullptr);
  connect(save1, &QAction::triggered, this, &TEditForm::Save1Requested);
  item(file1_, "SaveAs1", QStringLiteral("Save &As..."), none, [this] { SaveAs1Click(); });
  AddSeparator(file1_, "N2");
  item(file1_, "Print1", QStringLiteral("&Print"), QKeySequence(Qt::CTRL | Qt::Key_P), run(&TEditForm::Print1Click));
  item(file1_, "PrintSetup1", QStringLiteral("Prin&t Setup..."), none, run(&TEditForm::PrintSetup1Click));
  // The document in and out in other formats, after printing; Exit stays last, after
  // its separator.
  AddSeparator(file1_, "N4");
  item(file1_, "ExportLatex1", QStringLiteral("Export as &LaTeX..."), none, run(&TEditForm::ExportLatex1Click));
  item(file1_, "ImportDimacs1", QStringLiteral("Import &DIMACS..."), none, run(&TEditForm::ImportDimacs1Click));
  AddSeparator(file1_, "N3");
  QAction* exit1 = item(file1_, "Exit1", QStringLiteral("E&xit"), none, nullptr);
  connect(exit1, &QAction::triggered, this, &TEditForm::Exit1Click);

  edit1_ = AddMenu(this, "Edit1", QStringLiteral("&Edit"), 1);
  connect(edit1_, &QMenu::aboutToShow, this, &TEditForm::SetEditItems);
  cut1_ = item(edit1_, "Cut1", QStringLiteral("Cu&t"), QKeySequence(Qt::CTRL | Qt::Key_X), run(&TEditForm::CutToClipboard));
  copy1_ = item(edit1_, "Copy1", QStringLiteral("&Copy"), QKeySequence(Qt::CTRL | Qt::Key_C), run(&TEditForm::CopyToClipboard));
  paste1_ = item(edit1_, "Paste1", QStringLiteral("&Paste"), QKeySequence(Qt::CTRL | Qt::Key_V),
                 run(&TEditForm::PasteFromClipboard));
  delete1_ = item(edit1_, "Delete1", QStringLiteral("De&lete"), QKeySequence(Qt::Key_Delete), run(&TEditForm::Delete));
  AddSeparator(edit1_);
  item(edit1_, "SelectAll1", QStringLiteral("Select &All"), none, run(&TEditForm::SelectAll));
  item(edit1_, "Format1", QStringLiteral("Format"), QKeySequence(Qt::CTRL | Qt::Key_T), run(&TEditForm::Format1Click));
  // What an editor offers beyond the items above, after them.
  AddSeparator(edit1_);
  item(edit1_, "Undo1", QStringLiteral("&Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z), run(&TEditForm::Undo1Click));
  item(edit1_, "Redo1", QStringLiteral("&Redo"), QKeySequence(Qt::CTRL | Qt::Key_Y), run(&TEditForm::Redo1Click));
  AddSeparator(edit1_);
  item(edit1_, "Find1", QStringLiteral("&Find..."), QKeySequence(Qt::CTRL | Qt::Key_F), run(&TEditForm::Find1Click));
  item(edit1_, "Replace1", QStringLiteral("R&eplace..."), QKeySequence(Qt::CTRL | Qt::Key_H),
       run(&TEditForm::Replace1Click));
  item(edit1_, "FindNext1", QStringLiteral("Find &Next"), QKeySequence(Qt::Key_F3), run(&TEditForm::FindNext1Click));

  character1_ = AddMenu(this, "Character1", QStringLiteral("&Character"), 1);
  left1_ = item(character1_, "Left1", QStringLiteral("&Left"), none, nullptr);
  right1_ = item(character1_, "Right1", QStringLiteral("&Right"), none, nullptr);
  center1_ = item(character1_, "Center1", QStringLiteral("&Center"), none, nullptr);
  for (QAction* alignment : {left1_, right1_, center1_}) {
    alignment->setCheckable(true);
    connect(alignment, &QAction::triggered, this, [this, alignment] {
      if (!commandRunning_) AlignClick(alignment);
    });
  }
  left1_->setChecked(true);
  AddSeparator(character1_);
  wordWrap1_ = item(character1_, "WordWrap1", QStringLiteral("&WordWrap"), none, run(&TEditForm::SetWordWrap));
  wordWrap1_->setCheckable(true);
  AddSeparator(character1_);
  item(character1_, "Font1", QStringLiteral("&Font..."), none, run(&TEditForm::SetFont));
  AddSeparator(character1_);
  QAction* zoomIn = item(character1_, "ZoomIn1", QStringLiteral("Zoom &In"), none, run(&TEditForm::ZoomIn1Click));
  // Ctrl++ is Ctrl+Shift+= on many keyboards; Ctrl+= and the keypad's + serve as well.
  zoomIn->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
  item(character1_, "ZoomOut1", QStringLiteral("Zoom &Out"), QKeySequence(Qt::CTRL | Qt::Key_Minus),
       run(&TEditForm::ZoomOut1Click));
  item(character1_, "NormalSize1", QStringLiteral("&Normal Size"), QKeySequence(Qt::CTRL | Qt::Key_0),
       run(&TEditForm::NormalSize1Click));

  formula1_ = AddMenu(this, "Formula1", QStringLiteral("Formula"), 1);
  QMenu* conversion1 = AddSubmenu(formula1_, "Conversion1", QStringLiteral("Conversion"));
  item(conversion1, "Conjunctions1", QStringLiteral("Conjunctions\tCtrl+C"), none, run(&TEditForm::Conjunctions1Click));
  item(conversion1, "Implications1", QStringLiteral("Implications"), QKeySequence(Qt::CTRL | Qt::Key_D),
       run(&TEditForm::Implications1Click));
  item(conversion1, "Disjunctions1", QStringLiteral("Disjunctions"), QKeySequence(Qt::CTRL | Qt::Key_I),
       run(&TEditForm::Disjunctions1Click));
  item(conversion1, "Literals1", QStringLiteral("Literals"), QKeySequence(Qt::CTRL | Qt::Key_L),
       run(&TEditForm::Literals1Click));
  item(formula1_, "Cmpile1", QStringLiteral("Compile"), QKeySequence(Qt::CTRL | Qt::Key_F9), run(&TEditForm::Cmpile1Click));
  item(formula1_, "Decompile2", QStringLiteral("Decompile"), QKeySequence(Qt::SHIFT | Qt::Key_F9),
       run(&TEditForm::Decompile2Click));
  item(formula1_, "DecompileTree", QStringLiteral("Tree"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F9),
       run(&TEditForm::DecompileTreeClick));
  QMenu* normalforms1 = AddSubmenu(formula1_, "Normalforms1", QStringLiteral("Normal forms"));
  item(normalforms1, "Conjunctive1", QStringLiteral("Conjunctive"), QKeySequence(Qt::CTRL | Qt::Key_F7),
       run(&TEditForm::Conjunctive1Click));
  item(normalforms1, "Disjunctive1", QStringLiteral("Disjunctive"), QKeySequence(Qt::SHIFT | Qt::Key_F7),
       run(&TEditForm::Disjunctive1Click));
  item(normalforms1, "MinimalCNF1", QStringLiteral("Minimal CNF"), QKeySequence(Qt::CTRL | Qt::Key_F8),
       run(&TEditForm::MinimalCNF1Click));
  item(normalforms1, "MinimalDNF1", QStringLiteral("Minimal DNF"), QKeySequence(Qt::SHIFT | Qt::Key_F8),
       run(&TEditForm::MinimalDNF1Click));
  item(formula1_, "Evaluate1", QStringLiteral("Evaluate\tCtrl+V"), none, run(&TEditForm::Evaluate1Click));
  item(formula1_, "Decision1", QStringLiteral("Decision"), QKeySequence(Qt::Key_F8), run(&TEditForm::Decision1Click));
  // The analyses, on keys that no other item and no key of the text control takes.
  AddSeparator(formula1_, "N5");
  item(formula1_, "TruthTable1", QStringLiteral("Truth Table"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T),
       run(&TEditForm::TruthTable1Click));
  item(formula1_, "Model1", QStringLiteral("Model"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M), run(&TEditForm::Model1Click));
  item(formula1_, "Countermodel1", QStringLiteral("Countermodel"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K),
       run(&TEditForm::Countermodel1Click));
  item(formula1_, "Latex1", QStringLiteral("LaTeX"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L), run(&TEditForm::Latex1Click));
  // The proved minimum forms and the Karnaugh map, on the F5 keys, which nothing else takes.
  AddSeparator(formula1_, "N6");
  QMenu* minimumforms1 = AddSubmenu(formula1_, "Minimumforms1", QStringLiteral("Minimum forms"));
  item(minimumforms1, "MinimumCNF1", QStringLiteral("Minimum CNF"), QKeySequence(Qt::CTRL | Qt::Key_F5),
       run(&TEditForm::MinimumCNF1Click));
  item(minimumforms1, "MinimumDNF1", QStringLiteral("Minimum DNF"), QKeySequence(Qt::SHIFT | Qt::Key_F5),
       run(&TEditForm::MinimumDNF1Click));
  item(formula1_, "KarnaughMap1", QStringLiteral("Karnaugh Map"), QKeySequence(Qt::Key_F5), run(&TEditForm::KarnaughMap1Click));
  // Proofs and checks, after the analyses, on keys that nothing else takes.
  AddSeparator(formula1_, "N7");
  item(formula1_, "Tableau1", QStringLiteral("Tableau"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_B),
       run(&TEditForm::Tableau1Click));
  item(formula1_, "Equivalence1", QStringLiteral("Equivalence"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Q),
       run(&TEditForm::Equivalence1Click));
  item(formula1_, "Dimacs1", QStringLiteral("DIMACS"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_X),
       run(&TEditForm::Dimacs1Click));

  memoPopUp_ = new QMenu(this);
  memoPopUp_->setObjectName(QStringLiteral("MemoPopUp"));
  cut2_ = item(memoPopUp_, "Cut2", QStringLiteral("Cut"), none, run(&TEditForm::CutToClipboard));
  copy2_ = item(memoPopUp_, "Copy2", QStringLiteral("Copy"), none, run(&TEditForm::CopyToClipboard));
  paste2_ = item(memoPopUp_, "Paste2", QStringLiteral("Paste"), none, run(&TEditForm::PasteFromClipboard));
}
