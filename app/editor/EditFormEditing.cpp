// The editor window's Edit and Character menus and its context menu: clipboard,
// delete, select all, alignment, word wrap and font of the text control.

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>

#include "dialogs/FindReplaceDialog.h"
#include "dialogs/UserDialogs.h"
#include "editor/EditForm.h"
#include "editor/TextVersions.h"
#include "text/ShownFont.h"

void TEditForm::CutToClipboard() { memo1_->cut(); }

void TEditForm::CopyToClipboard() { memo1_->copy(); }

void TEditForm::PasteFromClipboard() { memo1_->paste(); }

void TEditForm::Delete() {
  if (commandRunning_) return;
  QTextCursor cursor = memo1_->textCursor();
  if (!cursor.hasSelection()) return;
  cursor.removeSelectedText();
  memo1_->setTextCursor(cursor);
}

void TEditForm::SelectAll() { memo1_->selectAll(); }

void TEditForm::SetEditItems() { EnableEditItems(); }

void TEditForm::SetPopUpItems() { EnableEditItems(); }

// Run when the Edit menu or the context menu opens, and when a key of the menu bar is
// pressed in the text, so that Cut, Copy, Paste and Delete act on the selection and
// the clipboard as they are at that moment; a disabled item swallows its key.
void TEditForm::EnableEditItems() {
  const QMimeData* clipboard = QGuiApplication::clipboard()->mimeData();
  const bool hasText = clipboard != nullptr && clipboard->hasText();
  paste1_->setEnabled(hasText);
  paste2_->setEnabled(hasText);
  const bool hasSelection = memo1_->textCursor().hasSelection();
  for (QAction* item : {cut1_, copy1_, delete1_, cut2_, copy2_}) item->setEnabled(hasSelection);
}

void TEditForm::ShowMemoPopUp(const QPoint& position) {
  if (commandRunning_) return;
  SetPopUpItems();
  memoPopUp_->popup(memo1_->mapToGlobal(position));
}

void TEditForm::AlignClick(QAction* item) {
  for (QAction* alignment : {left1_, right1_, center1_}) alignment->setChecked(false);
  item->setChecked(true);
  if (left1_->isChecked()) memo1_->SetTextAlignment(Qt::AlignLeft);
  else if (right1_->isChecked()) memo1_->SetTextAlignment(Qt::AlignRight);
  else if (center1_->isChecked()) memo1_->SetTextAlignment(Qt::AlignHCenter);
}

void TEditForm::SetWordWrap() {
  memo1_->SetWordWrap(!memo1_->WordWrap());
  wordWrap1_->setChecked(memo1_->WordWrap());
  SetEditRect();
}

// The dialog opens on the font the text shows. Confirmed unchanged, it leaves the text's
// font as it was: 13 pixels are not quite 10 points.
void TEditForm::SetFont() {
  const QFont shown = ShownFont(memo1_->TextFont());
  if (const std::optional<QFont> chosen = Dialogs().font(this, shown)) {
    if (!SameInDialog(*chosen, shown)) memo1_->SetTextFont(*chosen);
  }
  SetEditRect();
}

// Not while a command writes: the engine's caret and the step it is writing would be
// taken from under it.
void TEditForm::Undo1Click() {
  if (!commandRunning_) memo1_->Versions().Undo();
}

void TEditForm::Redo1Click() {
  if (!commandRunning_) memo1_->Versions().Redo();
}

FindReplaceDialog& TEditForm::FindDialog() {
  if (findDialog_ == nullptr) findDialog_ = new FindReplaceDialog(*memo1_, this);
  return *findDialog_;
}

void TEditForm::Find1Click() { FindDialog().ShowFind(); }

void TEditForm::Replace1Click() { FindDialog().ShowReplace(); }

void TEditForm::FindNext1Click() { FindDialog().FindNextAgain(); }

void TEditForm::ZoomIn1Click() { memo1_->Zoom(1); }

void TEditForm::ZoomOut1Click() { memo1_->Zoom(-1); }

void TEditForm::NormalSize1Click() { memo1_->ZoomReset(); }
