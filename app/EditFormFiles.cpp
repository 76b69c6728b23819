// The editor window's documents: open, save with backup, save as, the save prompt.

#include <QFile>
#include <QTextCursor>
#include <new>

#include "DocumentFile.h"
#include "MemoControl.h"
#include "EditForm.h"
#include "ErrorReport.h"
#include "UserDialogs.h"

QString TEditForm::FileName() const { return QFile::decodeName(QByteArray::fromStdString(doc_.FileName)); }

// FileName is set before the file is read: when reading fails the window stays empty
// and "Untitled", but a later Save writes to the name.
void TEditForm::Open(const QString& fileName) {
  doc_.FileName = QFile::encodeName(fileName).toStdString();
  try {
    memo1_->SetDocumentText(ReadDocumentFile(fileName, MemoControl::kCapacityBytes, MemoControl::kCapacityLines,
                                             MemoControl::kCapacityLineLength));
  } catch (const FileError& error) {
    ShowErrorReport(this, error);
    return;
  } catch (const TextTooLarge& tooLarge) {
    ShowTextTooLarge(tooLarge.lineTooLong);
    return;
  } catch (const std::bad_alloc&) {
    ShowTextTooLarge();
    return;
  }
  QTextCursor caret = memo1_->textCursor();
  caret.setPosition(0);
  memo1_->setTextCursor(caret);
  SetCaption(NamePart(fileName));
  memo1_->document()->setModified(false);
}

// The window stays as a failed open leaves it: empty and unchanged. A line too long
// for the control is named with the limit.
void TEditForm::ShowTextTooLarge(bool lineTooLong) {
  memo1_->clear();
  memo1_->document()->setModified(false);
  ShowErrorReport(this, FileError{QStringLiteral("Text exceeds memo capacity"),
                                  lineTooLong ? LineTooLongReason() : QString()});
}

SaveOutcome TEditForm::Save1Click() {
  const QString fileName = FileName();
  if (fileName.isEmpty() || IsReadOnly(fileName)) return SaveAs1Click();
  SaveReport report;
  try {
    report = SaveDocumentFile(fileName, memo1_->DocumentText());
  } catch (const FileError& error) {
    ShowErrorReport(this, error);
    return SaveOutcome::Failed;
  }
  memo1_->document()->setModified(false);
  if (report.backupFailed) {
    Dialogs().warning(this, QStringLiteral("%1 was saved, but its previous version could not be kept in %2.")
                                .arg(NamePart(fileName), report.backup));
  }
  return SaveOutcome::Saved;
}

bool TEditForm::IsReadOnly(const QString& fileName) {
  if (!HasReadOnlyAttribute(fileName)) return false;
  Dialogs().warning(this, QStringLiteral("%1 is read only.").arg(NamePart(fileName)));
  return true;
}

SaveOutcome TEditForm::SaveAs1Click() {
  const QString chosen = Dialogs().saveFileName(this, FileName());
  if (chosen.isEmpty()) return SaveOutcome::Cancelled;
  doc_.FileName = QFile::encodeName(chosen).toStdString();
  SetCaption(NamePart(chosen));
  return Save1Click();
}

// Yes saves and lets the window close even when the save dialog was cancelled; only a
// save that failed with an error keeps it open.
bool TEditForm::FormCloseQuery() {
  if (!memo1_->document()->isModified()) return true;
  // The question names the window only by its caption, which several windows may
  // share; the window in front is the one meant.
  Activate();
  const QString question = QStringLiteral("Save Changes to '%1'?").arg(windowTitle());
  switch (Dialogs().confirm(this, question)) {
    case QMessageBox::Yes:
      return Save1Click() != SaveOutcome::Failed;
    case QMessageBox::No:
      return true;
    default:
      return false;
  }
}
