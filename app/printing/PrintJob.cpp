#include "printing/PrintJob.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <cmath>

#include "printing/PlainTextPageLayout.h"

namespace {

bool printing = false;

class PrintingFlag {
 public:
  PrintingFlag() { printing = true; }
  ~PrintingFlag() { printing = false; }
  PrintingFlag(const PrintingFlag&) = delete;
  PrintingFlag& operator=(const PrintingFlag&) = delete;
};

PrintFontMetrics MetricsOn(const QFont& font, QPrinter& printer) {
  const QFontMetrics metrics(font, &printer);
  return PrintFontMetrics{metrics.height(), metrics.averageCharWidth(),
                          [metrics](QStringView text) { return metrics.horizontalAdvance(text.toString()); }};
}

QList<PrintedPage> LayOut(const QStringList& lines, const PrintFontMetrics& metrics, QSize page) {
  PlainTextPageLayout layout(metrics, page);
  for (const QString& line : lines) layout.WriteLine(line);
  return layout.Pages();
}

void DrawPage(QPainter& painter, const PrintedPage& page, int ascent) {
  for (const PrintedRun& run : page) painter.drawText(run.position + QPoint(0, ascent), run.text);
}

}  // namespace

QString PrinterProblem(const QPrinter& printer) {
  if (printing) return QString::fromLatin1(kPrintingInProgress);
  const bool native = printer.outputFormat() == QPrinter::NativeFormat;
  if (native ? printer.printerName().isEmpty() : printer.outputFileName().isEmpty()) {
    return QString::fromLatin1(kNoDefaultPrinter);
  }
  if (!printer.isValid()) return QString::fromLatin1(kPrinterNotValid);
  return {};
}

bool PrintingInProgress() { return printing; }

namespace {

bool WritesPdfToNoFile(const QPrinter& printer) {
  return printer.outputFormat() == QPrinter::PdfFormat && printer.outputFileName().isEmpty();
}

}  // namespace

QString PageSetupProblem(const QPrinter& printer) {
  if (!printing && WritesPdfToNoFile(printer)) return {};
  return PrinterProblem(printer);
}

PdfForOnePrint::PdfForOnePrint(QPrinter& printer, const QString& fileName) : printer_(printer) {
  if (printing || !WritesPdfToNoFile(printer)) return;
  printer.setOutputFileName(fileName);
  offered_ = true;
}

PdfForOnePrint::~PdfForOnePrint() {
  if (offered_ && printer_.outputFormat() == QPrinter::PdfFormat) printer_.setOutputFileName(QString());
}

QString PdfFileName(const QString& documentFile, const QString& caption) {
  if (documentFile.isEmpty()) return QDir::home().filePath(caption + QStringLiteral(".pdf"));
  const QFileInfo document(documentFile);
  QString name = document.fileName();
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  if (dot > 0) name.truncate(dot);
  return document.dir().filePath(name + QStringLiteral(".pdf"));
}

QFont PrintFont(const QFont& textFont, qreal screenDpi) {
  QFont font = textFont;
  if (textFont.pointSizeF() <= 0) font.setPointSizeF(std::round(textFont.pixelSize() * 72.0 / screenDpi));
  return font;
}

QList<int> PageSequence(int pages, int copies, bool collate) {
  QList<int> sequence;
  if (collate) {
    for (int copy = 0; copy < copies; ++copy) {
      for (int page = 0; page < pages; ++page) sequence.append(page);
    }
  } else {
    for (int page = 0; page < pages; ++page) {
      for (int copy = 0; copy < copies; ++copy) sequence.append(page);
    }
  }
  return sequence;
}

QString PrintLines(QPrinter& printer, const QFont& font, const QStringList& lines) {
  if (printing) return QString::fromLatin1(kPrintingInProgress);
  PrintingFlag flag;
  printer.setDocName(QString());
  QPainter painter;
  if (!painter.begin(&printer)) return QString::fromLatin1(kPrinterNotValid);
  painter.setFont(font);
  const QList<PrintedPage> pages = LayOut(lines, MetricsOn(font, printer), QSize(printer.width(), printer.height()));
  // A printer that makes its copies itself gets each page once.
  const int copies = printer.supportsMultipleCopies() ? 1 : std::max(printer.copyCount(), 1);
  const QList<int> sequence = PageSequence(static_cast<int>(pages.size()), copies, printer.collateCopies());
  const int ascent = QFontMetrics(font, &printer).ascent();
  for (qsizetype i = 0; i < sequence.size(); ++i) {
    if (i > 0 && !printer.newPage()) break;
    DrawPage(painter, pages[sequence[i]], ascent);
    QCoreApplication::processEvents();
  }
  painter.end();
  return {};
}
