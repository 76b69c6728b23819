// The editor window's documents: open, save with backup, save as, the save prompt.

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCursor>
#include <algorithm>
#include <new>

#include "analysis/LatexDocument.h"
#include "dimacs/DimacsReader.h"
#include "dialogs/ErrorReport.h"
#include "dialogs/UserDialogs.h"
#include "editor/EditForm.h"
#include "editor/MemoControl.h"
#include "runtime/MemoryBudget.h"
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
  memo1_->MarkSaved();
}

// The window stays as a failed open leaves it: empty and unchanged. A line too long
// for the control is named with the limit.
void TEditForm::ShowTextTooLarge(bool lineTooLong) {
  memo1_->SetDocumentText({});
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
  memo1_->MarkSaved();
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
  // pdflatex leaves its .aux and .log beside what it makes: it works in a directory of
  // its own, and only the PDF comes out beside the .tex the user named.
  QTemporaryDir work;
  QProcess process;
  process.setWorkingDirectory(info.absolutePath());
  process.start(pdflatex, {QStringLiteral("-interaction=nonstopmode"), QStringLiteral("-no-shell-escape"),
                           QStringLiteral("-halt-on-error"), QStringLiteral("-output-directory=") + work.path(),
                           info.fileName()});
  const bool made = work.isValid() && process.waitForFinished(120000) &&
                    process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
  const QString pdf = info.absolutePath() + '/' + info.completeBaseName() + QStringLiteral(".pdf");
  const QString madePdf = work.filePath(info.completeBaseName() + QStringLiteral(".pdf"));
  if (!made || (QFile::exists(pdf) && !QFile::remove(pdf)) || !QFile::copy(madePdf, pdf)) {
    process.kill();
    Dialogs().warning(this, QStringLiteral("%1 was written, but pdflatex could not make a PDF of it.").arg(info.fileName()));
  }
}

// The file's CNF goes in as a line of its own after the caret's line (or several,
// broken within the line width), selected, so that the next Formula command works on it. The text must hold it
// within the window's capacity; a file that is no DIMACS CNF shows the reader's message,
// which names the line.
void TEditForm::ImportDimacs1Click() {
  const QString path = Dialogs().dimacsFileName(this);
  if (path.isEmpty()) return;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    ShowErrorReport(this, QStringLiteral("Cannot open file %1").arg(path));
    return;
  }
  // What the text can still take: its capacity less what it holds. A file many times
  // that cannot make a formula that fits.
  const TextCapacity capacity = memo1_->Capacity();
  const std::string text = memo1_->DocumentText();
  const auto textLines = static_cast<std::size_t>(memo1_->document()->blockCount());
  const std::uint64_t used = TextCapacity::Cost(text.size() + 4, textLines + 2);
  const std::size_t room = std::min<std::uint64_t>(
      capacity.bytes - std::min(text.size() + 4, capacity.bytes),
      (capacity.memory - std::min(used, capacity.memory)) / TextCapacity::kByteCost);
  if (static_cast<std::uint64_t>(file.size()) > 4 * static_cast<std::uint64_t>(room) + 4096) {
    Dialogs().message(this, QStringLiteral("%1 is too large to import.").arg(NamePart(path)));
    return;
  }
  const QByteArray bytes = file.readAll();
  lumenark::DimacsFormula formula;
  try {
    lumenark::BeginMemoryBudget();
    formula = lumenark::ReadDimacs(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                                   doc_.LineWidth, room);
  } catch (const std::bad_alloc&) {
    formula.message = std::string(lumenark::kInsufficientMemoryMessage);
  }
  const auto lines = std::count(formula.text.begin(), formula.text.end(), '\n') + 1;
  if (formula.message.empty() &&
      !capacity.Holds(text.size() + formula.text.size() + 4, textLines + static_cast<std::size_t>(lines) + 2)) {
    formula.message = "The formula of this file is too long for the text.";
  }
  if (!formula.message.empty()) {
    Dialogs().message(this, NamePart(path) + QStringLiteral(": ") + QString::fromLatin1(formula.message.c_str()));
    return;
  }
  QString inserted = QString::fromLatin1(formula.text.data(), static_cast<qsizetype>(formula.text.size()));
  inserted.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  // On the caret's line if it is empty, else on a new line after it.
  QTextCursor cursor = memo1_->textCursor();
  cursor.beginEditBlock();
  cursor.setPosition(cursor.selectionEnd());
  cursor.movePosition(QTextCursor::EndOfBlock);
  if (!cursor.atBlockStart()) cursor.insertText(QStringLiteral("\n"));
  const int start = cursor.position();
  cursor.insertText(inserted);
  const int end = cursor.position();
  cursor.endEditBlock();
  cursor.setPosition(start);
  cursor.setPosition(end, QTextCursor::KeepAnchor);
  memo1_->setTextCursor(cursor);
}
