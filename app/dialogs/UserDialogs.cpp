#include "dialogs/UserDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QHeaderView>
#include <QPageSetupDialog>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QTreeView>

#include "dialogs/BreakablePaths.h"
#include "frame/ApplicationGlobals.h"
#include "text/DocumentFile.h"

namespace {

// A modal box or dialog gives the keyboard back where it found it when it closes: the
// window that opened it is made active again, and the control that had the focus gets
// it back. A window manager would do the first; without one (a virtual display) no
// window would be active, and the window's keys would do nothing until it is clicked.
class FocusReturn {
 public:
  explicit FocusReturn(QWidget* parent)
      : window_(parent != nullptr ? parent->window() : QApplication::activeWindow()),
        focus_(QApplication::focusWidget()) {}
  ~FocusReturn() {
    if (window_ != nullptr && window_->isVisible()) window_->activateWindow();
    if (focus_ != nullptr && focus_->isVisible()) focus_->setFocus(Qt::ActiveWindowFocusReason);
  }
  FocusReturn(const FocusReturn&) = delete;
  FocusReturn& operator=(const FocusReturn&) = delete;

 private:
  QPointer<QWidget> window_;
  QPointer<QWidget> focus_;
};

// Message texts keep CR LF line breaks as the program writes them; the box shows
// them as line breaks, and the paths in them on lines of their own, wrapped where they
// are longer than the box is wide.
QString BoxText(const QString& text) {
  QString shown = text;
  shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  return WithBreakablePaths(shown);
}

void ShowBox(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text) {
  FocusReturn focusReturn(parent);
  QMessageBox box(icon, title, BoxText(text), QMessageBox::Ok, parent);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

QMessageBox::StandardButton Confirm(QWidget* parent, const QString& text) {
  FocusReturn focusReturn(parent);
  QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), BoxText(text), QMessageBox::NoButton,
                  parent);
  box.setTextFormat(Qt::PlainText);
  QPushButton* yes = box.addButton(QMessageBox::Yes);
  yes->setText(QStringLiteral("&Yes"));
  box.addButton(QMessageBox::No)->setText(QStringLiteral("&No"));
  QPushButton* cancel = box.addButton(QMessageBox::Cancel);
  cancel->setText(QStringLiteral("Cancel"));
  box.setDefaultButton(yes);
  box.setEscapeButton(cancel);
  box.exec();
  return box.standardButton(box.clickedButton());
}

// The dialog shows each filter's text alone; its patterns follow in a last pair of
// parentheses, which is what the dialog filters by and hides.
template <std::size_t N>
void SetFilters(QFileDialog& dialog, const FileFilter (&filters)[N]) {
  QStringList nameFilters;
  for (const FileFilter& filter : filters) {
    nameFilters.append(QStringLiteral("%1 (%2)").arg(QString::fromLatin1(filter.text), QString::fromLatin1(filter.patterns)));
  }
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setNameFilters(nameFilters);
}

// Room for the file list's columns, so that sizes, kinds and dates can be read whole:
// they take the width of their contents, and the names the rest of a wider dialog.
void GiveRoomForColumns(QFileDialog& dialog) {
  const QFontMetrics metrics(dialog.font());
  QSize size(metrics.averageCharWidth() * 140, metrics.height() * 30);
  if (const QScreen* screen = dialog.screen()) size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
  dialog.resize(size.expandedTo(dialog.sizeHint()));
  if (auto* details = dialog.findChild<QTreeView*>()) {
    QHeaderView* header = details->header();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
  }
}

// An open dialog for a file of the given kinds.
template <typename Filters>
QString ChooseFileToOpen(QWidget* parent, const Filters& filters) {
  FocusReturn focusReturn(parent);
  QFileDialog dialog(parent);
  GiveRoomForColumns(dialog);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::AnyFile);  // a typed name is returned as it is
  SetFilters(dialog, filters);
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.selectedFiles().value(0);
}

QString OpenFileName(QWidget* parent) { return ChooseFileToOpen(parent, kOpenFilters); }

QString DimacsFileName(QWidget* parent) { return ChooseFileToOpen(parent, kDimacsFilters); }

// Why the save dialog refuses a name, or an empty text when it takes it: a read-only
// file and a write-protected directory are refused before the dialog returns.
QString RefusalOf(const QString& path) {
  const QFileInfo info(path);
  if (info.exists() && HasReadOnlyAttribute(path)) {
    return QStringLiteral("%1\nThis file is set to read-only.\nTry again with a different file name.")
        .arg(info.fileName());
  }
  const QFileInfo directory(info.absolutePath());
  if (!directory.isWritable()) {
    return QStringLiteral("%1\nThe folder is write-protected.\nTry again with a different folder.")
        .arg(info.absolutePath());
  }
  return {};
}

// A save dialog for a new or existing file of the given kinds, at the preset name.
template <typename Filters>
void PrepareSaveDialog(QFileDialog& dialog, const Filters& filters, const QString& suffix, const QString& preset) {
  GiveRoomForColumns(dialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  SetFilters(dialog, filters);
  dialog.setDefaultSuffix(suffix);
  if (!preset.isEmpty()) dialog.selectFile(preset);
}

QString SaveFileName(QWidget* parent, const QString& preset) {
  FocusReturn focusReturn(parent);
  QFileDialog dialog(parent);
  PrepareSaveDialog(dialog, kSaveFilters, QString::fromLatin1(kSaveDefaultSuffix), preset);
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  for (;;) {
    if (dialog.exec() != QDialog::Accepted) return {};
    const QString path = dialog.selectedFiles().value(0);
    const QString refusal = RefusalOf(path);
    if (refusal.isEmpty()) return path;
    ShowBox(&dialog, QMessageBox::Warning, dialog.windowTitle(), refusal);
  }
}

QString LatexFileName(QWidget* parent, const QString& preset) {
  FocusReturn focusReturn(parent);
  QFileDialog dialog(parent);
  PrepareSaveDialog(dialog, kLatexFilters, QStringLiteral("tex"), preset);
  return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

std::optional<QFont> ChooseFont(QWidget* parent, const QFont& initial) {
  FocusReturn focusReturn(parent);
  bool ok = false;
  const QFont chosen = QFontDialog::getFont(&ok, initial, parent);
  if (!ok) return std::nullopt;
  return chosen;
}

bool RunPrintDialog(QWidget* parent, QPrinter& printer) {
  FocusReturn focusReturn(parent);
  QPrintDialog dialog(&printer, parent);
  SetPrintDialogChoices(dialog);
  return dialog.exec() == QDialog::Accepted;
}

bool RunPageSetupDialog(QWidget* parent, QPrinter& printer) {
  FocusReturn focusReturn(parent);
  QPageSetupDialog dialog(&printer, parent);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace

void SetPrintDialogChoices(QPrintDialog& dialog) {
  QAbstractPrintDialog::PrintDialogOptions options = QAbstractPrintDialog::PrintCollateCopies;
  if (dialog.printer()->outputFormat() == QPrinter::PdfFormat) options |= QAbstractPrintDialog::PrintToFile;
  dialog.setOptions(options);
  dialog.setPrintRange(QAbstractPrintDialog::AllPages);
}

UserDialogs StandardDialogs() {
  UserDialogs dialogs;
  dialogs.message = [](QWidget* parent, const QString& text) {
    ShowBox(parent, QMessageBox::NoIcon, ApplicationTitle(), text);
  };
  dialogs.warning = [](QWidget* parent, const QString& text) {
    ShowBox(parent, QMessageBox::Warning, QStringLiteral("Warning"), text);
  };
  dialogs.confirm = Confirm;
  dialogs.error = [](QWidget* parent, const QString& text) {
    ShowBox(parent, QMessageBox::Critical, ApplicationTitle(), text);
  };
  dialogs.openFileName = OpenFileName;
  dialogs.dimacsFileName = DimacsFileName;
  dialogs.saveFileName = SaveFileName;
  dialogs.latexFileName = LatexFileName;
  dialogs.font = ChooseFont;
  dialogs.print = RunPrintDialog;
  dialogs.printSetup = RunPageSetupDialog;
  return dialogs;
}

UserDialogs& Dialogs() {
  static UserDialogs dialogs = StandardDialogs();
  return dialogs;
}
