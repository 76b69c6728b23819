#pragma once
// Print jobs on the program's printer: lines written through the printer's plain-text
// device (PlainTextPageLayout) in a given font, as many copies as the printer is set
// to, collated or not. While a job is produced, the window system's pending input is
// processed after every page, so the clock keeps running and other windows answer;
// a second job cannot start meanwhile.

#include <QList>
#include <QString>
#include <QStringList>

class QFont;
class QPrinter;

// The printer layer's error texts.
inline constexpr char kNoDefaultPrinter[] = "There is no default printer currently selected";
inline constexpr char kPrinterNotValid[] = "Printer selected is not valid";
inline constexpr char kPrintingInProgress[] = "Printing in progress";

// Why the printer cannot take a job or its dialogs now (one of the texts above), or
// an empty text. Without any printer the platform leaves the printer writing PDF to
// no file: that is no default printer.
QString PrinterProblem(const QPrinter& printer);

// Why the page setup cannot be run now, or an empty text. A printer that writes PDF
// to no file (no printer installed) can be set up: the page (size, orientation,
// margins) is that of the PDF file that Print then offers.
QString PageSetupProblem(const QPrinter& printer);

bool PrintingInProgress();

// Without a printer the platform leaves the printer writing PDF to no file. For the
// time of one print, such a printer writes the PDF file given instead (the print
// dialog offers it as "Print to File (PDF)", where the user may choose another name or
// an installed printer); afterwards a printer that still writes PDF goes back to no
// file, so that the next print asks again and Print Setup still finds no printer.
// Nothing changes while another job is printing, or when the printer has a destination.
class PdfForOnePrint {
 public:
  PdfForOnePrint(QPrinter& printer, const QString& fileName);
  ~PdfForOnePrint();

  PdfForOnePrint(const PdfForOnePrint&) = delete;
  PdfForOnePrint& operator=(const PdfForOnePrint&) = delete;

 private:
  QPrinter& printer_;
  bool offered_ = false;
};

// The PDF file that a document prints into without a printer: beside the document,
// its name with ".pdf" for the extension; for a document without a file, caption.pdf
// in the home directory.
QString PdfFileName(const QString& documentFile, const QString& caption);

// The job's font: the text's font at the same point size on the printer. A font given
// in pixels has the whole point size that those pixels make on a screen of screenDpi
// (13 pixels at 96 dots per inch are 10 points).
QFont PrintFont(const QFont& textFont, qreal screenDpi);

// The order in which pages 0 .. pages - 1 go to the printer for copies copies.
QList<int> PageSequence(int pages, int copies, bool collate);

// Opens a job with an empty document name, writes each line followed by a line break,
// and closes the job, which the printer then prints. Returns an error text of the
// printer layer, or an empty text.
QString PrintLines(QPrinter& printer, const QFont& font, const QStringList& lines);
