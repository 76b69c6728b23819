#pragma once
// Every modal box and common dialog of the program goes through Dialogs(), so that the
// tests can answer them without a modal window; StandardDialogs() are Qt's own.

#include <QFont>
#include <QMessageBox>
#include <QString>
#include <functional>
#include <optional>

class QPrintDialog;
class QPrinter;
class QWidget;

struct UserDialogs {
  // The plain message box: the text and OK, titled with the application title.
  std::function<void(QWidget* parent, const QString& text)> message;
  // The warning box: title "Warning", exclamation icon, OK.
  std::function<void(QWidget* parent, const QString& text)> warning;
  // The confirmation box: title "Confirm", question icon, Yes, No and Cancel; Enter
  // answers Yes, Escape Cancel. Returns the button chosen.
  std::function<QMessageBox::StandardButton(QWidget* parent, const QString& text)> confirm;
  // The standard error report: the application title, an error icon, the text and OK.
  std::function<void(QWidget* parent, const QString& text)> error;
  // The open dialog: the full path of one file (which need not exist), empty if cancelled.
  std::function<QString(QWidget* parent)> openFileName;
  // The save dialog preset with a name: the full path, empty if cancelled.
  std::function<QString(QWidget* parent, const QString& preset)> saveFileName;
  // The save dialog for File > Export as LaTeX..., preset with a name: LaTeX files, the
  // suffix .tex added to a name without one; the full path, empty if cancelled.
  std::function<QString(QWidget* parent, const QString& preset)> latexFileName;
  // The open dialog for File > Import DIMACS...: DIMACS files first, then all files; the
  // full path of one file, empty if cancelled.
  std::function<QString(QWidget* parent)> dimacsFileName;
  // The font dialog started from a font: the chosen font, nothing if cancelled.
  std::function<std::optional<QFont>(QWidget* parent, const QFont& initial)> font;
  // The print dialog on the program's printer (printer or PDF file, copies, collation);
  // false if cancelled. What the user confirms is set on the printer.
  std::function<bool(QWidget* parent, QPrinter& printer)> print;
  // The page setup dialog on the program's printer (paper, orientation); false if
  // cancelled. What the user confirms is set on the printer.
  std::function<bool(QWidget* parent, QPrinter& printer)> printSetup;
};

UserDialogs& Dialogs();
UserDialogs StandardDialogs();

// The choices of the print dialog: the printer, the number of copies and collation;
// no page range and no selection. Printing to a PDF file is offered only while the
// printer writes PDF, which is how the platform leaves it when no printer is installed
// or none is the default: the dialog then lists "Print to File (PDF)" beside any
// printers.
void SetPrintDialogChoices(QPrintDialog& dialog);

// The file dialogs' filters: the text the user sees, and the names it stands for ("*.*"
// means every file, as it does on Windows, not only names with a dot).
struct FileFilter {
  const char* text;
  const char* patterns;
};
inline constexpr FileFilter kOpenFilters[] = {{" All Files (*.*)", "*"}};
inline constexpr FileFilter kSaveFilters[] = {{"Text files (*.txt)", "*.txt"}, {"All files (*.*)", "*"}};
inline constexpr char kSaveDefaultSuffix[] = "txt";
inline constexpr FileFilter kLatexFilters[] = {{"LaTeX files (*.tex)", "*.tex"}, {"All files (*.*)", "*"}};
inline constexpr FileFilter kDimacsFilters[] = {{"DIMACS files (*.cnf *.dimacs)", "*.cnf *.dimacs"},
                                                {"All files (*.*)", "*"}};
