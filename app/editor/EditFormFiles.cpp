// The editor window's documents: open, save with backup, save as, the save prompt.

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextCursor>
#include <algorithm>
#include <new>

#include "analysis/LatexDocument.h"
#include "dialogs/ErrorReport.h"
#include "dialogs/UserDialogs.h"
#include "editor/EditForm.h"
#include "editor/MemoControl.h"
#include "text/DocumentFile.h"

QString TEditForm::FileName() const { return QFile::decodeName(QByteArray::fromStdString(doc_.FileName)); }

// FileName is set before the file is read: when reading fails the window stays empty
// and "Untitled", but a later Save writes to the name.
void TEditForm::Open(const QString& fileName) {
  doc_.FileName = QFile::encodeName(fileName).toStdString();
  try {
    // The window is empty (Open is for a new window): all its capacity is the file's.
    const TextCapacity capacity = memo1_->Capacity();
    const std::string text = ReadDocumentFile(fileName, capacity.bytes, capacity.lines, TextCapacity::kLongestLine);
    const auto lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    if (!capacity.Holds(text.size(), lines)) throw TextTooLarge{};
    memo1_->SetDocumentText(text);
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

// The document as a standalone LaTeX file beside which pdflatex, where it is installed,
// makes the PDF (without shell escape, so the file can run nothing).
void TEditForm::ExportLatex1Click() {
  const QFileInfo document(FileName());
  const QString preset = FileName().isEmpty() ? QStringLiteral("Untitled.tex")
                                              : document.path() + '/' + document.completeBaseName() + QStringLiteral(".tex");
  const QString path = Dialogs().latexFileName(this, preset);
  if (path.isEmpty()) return;
  QByteArray file;
  const std::optional<std::string> refusal =
      lumenark::ExportLatexDocument(memo1_->DocumentText(), [&](std::string_view piece) {
        file.append(piece.data(), static_cast<qsizetype>(piece.size()));
      });
  if (refusal) {
    Dialogs().message(this, QString::fromLatin1(refusal->data(), static_cast<qsizetype>(refusal->size())));
    return;
  }
  QSaveFile out(path);
  if (!out.open(QIODevice::WriteOnly) || out.write(file) != file.size() || !out.commit()) {
    ShowErrorReport(this, QStringLiteral("Cannot create file %1").arg(path));
    return;
  }
  MakeLatexPdf(path);
}

void TEditForm::MakeLatexPdf(const QString& texPath) {
  const QString pdflatex = QStandardPaths::findExecutable(QStringLiteral("pdflatex"));
  if (pdflatex.isEmpty()) return;
  const QFileInfo info(texPath);
  QProcess process;
  process.setWorkingDirectory(info.absolutePath());
  process.start(pdflatex, {QStringLiteral("-interaction=nonstopmode"), QStringLiteral("-no-shell-escape"),
                           QStringLiteral("-halt-on-error"), info.fileName()});
  const bool made = process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit &&
                    process.exitCode() == 0;
  if (!made) {
    process.kill();
    Dialogs().warning(this, QStringLiteral("%1 was written, but pdflatex could not make a PDF of it.").arg(info.fileName()));
  }
}
