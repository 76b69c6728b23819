// File > Print and File > Print Setup... of an editor window, printed into a PDF file
// through the program's printer (no dialog) and read back with pdftotext from
// poppler-utils: which lines come out, on which pages, and how the printer errors
// are reported.

#include <QFontMetrics>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "TestSupport.h"
#include "printing/PrintJob.h"
#include "runtime/EngineGlobals.h"

namespace {

// The program's printer set to write a PDF file.
QString PrintToPdf(TFrameForm& frame, const QTemporaryDir& dir, const QString& name = QStringLiteral("out.pdf")) {
  const QString path = dir.filePath(name);
  QPrinter& printer = frame.Printer();
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(path);
  return path;
}

std::function<bool(QPrinter&)> Confirm() {
  return [](QPrinter&) { return true; };
}

QString RunTool(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
    qWarning("%s failed: %s", qPrintable(program), process.readAllStandardError().constData());
    return QStringLiteral("<%1 failed>").arg(program);
  }
  return QString::fromUtf8(process.readAllStandardOutput());
}

// The printed pages as text, each a list of lines with runs of blanks squeezed to one
// and trailing blanks removed; empty lines of a page are kept except at its end.
QList<QStringList> PdfPages(const QString& path) {
  const QString text = RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
  QStringList pages = text.split(QLatin1Char('\f'));
  if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();  // after the last page
  QList<QStringList> result;
  for (const QString& page : pages) {
    QStringList lines;
    for (QString line : page.split(QLatin1Char('\n'))) {
      line.replace(QRegularExpression(QStringLiteral(" {2,}")), QStringLiteral(" "));
      lines.append(line.trimmed());
    }
    while (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    result.append(lines);
  }
  return result;
}

QStringList NonEmpty(const QStringList& lines) {
  QStringList kept;
  for (const QString& line : lines) {
    if (!line.isEmpty()) kept.append(line);
  }
  return kept;
}

int PdfPageCount(const QString& path) {
  const QString info = RunTool(QStringLiteral("pdfinfo"), {path});
  const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
  return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// The paper of the first page as pdfinfo gives it, in points.
QSizeF PdfPageSize(const QString& path) {
  const QString info = RunTool(QStringLiteral("pdfinfo"), {path});
  const QRegularExpressionMatch match =
      QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+) pts")).match(info);
  return match.hasMatch() ? QSizeF(match.captured(1).toDouble(), match.captured(2).toDouble()) : QSizeF();
}

// The top edges of the printed words of the first page, in points, from pdftotext's
// bounding boxes.
QList<double> WordTops(const QString& path) {
  const QString html =
      RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-f"), QStringLiteral("1"),
                                           QStringLiteral("-l"), QStringLiteral("1"), path, QStringLiteral("-")});
  QList<double> tops;
  QRegularExpressionMatchIterator words = QRegularExpression(QStringLiteral("<word xMin=\"[\\d.]+\" yMin=\"([\\d.]+)\"")).globalMatch(html);
  while (words.hasNext()) tops.append(words.next().captured(1).toDouble());
  return tops;
}

}  // namespace

class PrintTests : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void threeLinesEndingInALineBreakPrintThreeLines();
  void emptyTextPrintsNoLine();
  void formFeedStartsPageTwo();
  void longLineBreaksAtThePageWidth();
  void wordWrapPrintsTheDisplayedLines();
  void linesFollowEachOtherByTheLineHeight();
  void longDerivationFillsSeveralPages();
  void jobHasNoNameAndTheWindowsFont();
  void copiesComeCollatedOrNot();
  void cancelledPrintDialogPrintsNothing();
  void printDialogOffersPrinterCopiesAndCollation();
  void pageSetupAppliesToEveryWindow();
  void withoutAPrinterThereIsNoDefaultPrinter();
  void withoutAPrinterPrintWritesAPdf();
  void printerThatCannotStartIsNotValid();
  void secondJobWhilePrintingIsInProgress();
};

void PrintTests::init() { QVERIFY2(QFile::exists(QStringLiteral("/usr/bin/pdftotext")), "poppler-utils is needed"); }

void PrintTests::threeLinesEndingInALineBreakPrintThreeLines() {
  Workbench bench;
  ScriptedDialogs dialogs;
  QTemporaryDir dir;
  TEditForm* editor = bench.NewEditor("(A>B)&(B>C)>(A>C)\r\nThis formula is valid.\r\nend of proof\r\n");
  const QString pdf = PrintToPdf(bench.frame(), dir);
  dialogs.printAnswers = {Confirm()};
  MenuItem(bench.frame(), "Print1")->trigger();
  QVERIFY(dialogs.errors.isEmpty());
  QVERIFY(dialogs.unexpected.isEmpty());
  const QList<QStringList> pages = PdfPages(pdf);
  QCOMPARE(pages.size(), 1);
  QCOMPARE(pages[0], QStringList({"(A>B)&(B>C)>(A>C)", "This formula is valid.", "end of proof"}));
  QCOMPARE(TextOf(*editor), std::string("(A>B)&(B>C)>(A>C)\r\nThis formula is valid.\r\nend of proof\r\n"));
  QVERIFY(!editor->CommandRunning());
  QVERIFY(!editor->Memo1()->isReadOnly());
}

void PrintTests::emptyTextPrintsNoLine() {
  Workbench bench;
  ScriptedDialogs dialogs;
  QTemporaryDir dir;
  TEditForm* editor = bench.NewEditor("");
  const QString pdf = PrintToPdf(bench.frame(), dir);
  dialogs.printAnswers = {Confirm()};
  editor->Print1Click();
  QVERIFY(QFile::exists(pdf));  // the job was opened and closed
  QCOMPARE(PdfPageCount(pdf), 1);
  QCOMPARE(NonEmpty(PdfPages(pdf).value(0)), QStringList());
}

void PrintTests::formFeedStartsPageTwo() {
  Workbench bench;
  ScriptedDialogs dialogs;
  QTemporaryDir dir;
  TEditForm* editor = bench.NewEditor("first page\r\n\fsecond page\r\nstill second\r\n");
  const QString pdf = PrintToPdf(bench.frame(), dir);
  dialogs.printAnswers = {Confirm()};
  editor->Print1Click();
  QCOMPARE(PdfPageCount(pdf), 2);
  const QList<QStringList> pages = PdfPages(pdf);
  QCOMPARE(pages[0], QStringList({"first page"}));
  QCOMPARE(pages[1], QStringList({"second page", "still second"}));
}

void PrintTests::longLineBreaksAtThePageWidth() {
  Workbench bench;
  ScriptedDialogs dialogs;
  QTemporaryDir dir;
  QString line;
  for (int i = 0; i < 400; ++i) line += QChar('a' + i % 26);
  TEditForm* editor = bench.NewEditor(line.toStdString() + "\r\nnext");
  const QString pdf = PrintToPdf(bench.frame(), dir);
  dialogs.printAnswers = {Confirm()};
  editor->Print1Click();
  // The job's font is monospaced: a printed line holds as many characters as fit.
  QPrinter& printer = bench.frame().Printer();
  const QFontMetrics metrics(QFont(editor->Memo1()->font().family(), 10), &printer);
  const int perLine = printer.width() / metrics.horizontalAdvance(QLatin1Char('a'));
  const QStringList printed = PdfPages(pdf).value(0);
  QVERIFY2(printed.size() > 2, qPrintable(printed.join(QLatin1Char('\n'))));
  QCOMPARE(printed[0].size(), perLine);
  QCOMPARE(printed.mid(0, printed.size() - 1).join(QString()), line);
  QCOMPARE(printed.last(), QStringLiteral("next"));
}

void PrintTests::wordWrapPrintsTheDisplayedLines() {
  Workbench bench;
  ScriptedDialogs dialogs;
  QTemporaryDir dir;
  const std::string paragraph =
      "Decision brings the formula into disjunctive normal form and reads the verdict from it";
  TEditForm* editor = bench.NewEditor(paragraph + "\r\n");
  editor->parentWidget()->resize(220, 300);
  MenuItem(bench.frame(), "WordWrap1")->trigger();
  // The displayed lines, as the caret walks them.
  QStringList displayed;
  QTextCursor cursor(editor->Memo1()->document());
  do {
    cursor.movePosition(QTextCursor::StartOfLine);
    cursor.movePosition(QTextCursor::EndOfLine, QTextCursor::KeepAnchor);
    displayed.append(cursor.selectedText().trimmed());
    cursor.clearSelection();
  } while (cursor.movePosition(QTextCursor::Down));
  displayed.removeAll(QString());
  QVERIFY2(displayed.size() >= 4, qPrintable(displayed.join(QLatin1Char('/'))));

  const QString pdf = PrintToPdf(bench.frame(), dir);
  dialogs.printAnswers = {Confirm()};
  editor->Print1Click();
  QCOMPARE(PdfPages(pdf).value(0), displayed);

  // Without word wrap the paragraph is one line, which fits the page (95 characters).
  MenuItem(bench.frame(), "WordWrap1")->trigger();
  dialogs.printAnswers = {Confirm()};
  editor->Print1Click();
  QCOMPARE(PdfPages(pdf).value(0), QStringList({QString::fromStdString(paragraph)}));
}

void PrintTests::linesFollowEachOtherByTheLineHeight() {
  Workbench bench;
  ScriptedDialogs dialogs;
  QTemporaryDir dir;
  TEditForm* editor = bench.NewEditor("one\r\ntwo\r\n\r\nfour\r\n");
  const QString pdf = PrintToPdf(bench.frame(), dir);
  dialogs.printAnswers = {Confirm()};
  editor->Print1Click();
  QPrinter& printer = bench.frame().Printer();
  const int textHeight = QFontMetrics(PrintFont(editor->Memo1()->font(), editor->Memo1()->logicalDpiY()), &printer).height();
  const double pointsPerPixel = 72.0 / printer.resolution();
  const QList<double> tops = WordTops(pdf);
  QCOMPARE(tops.size(), 3);
  QVERIFY(std::abs(tops[1] - tops[0] - (textHeight + 2) * pointsPerPixel) < 0.1);
  QVERIFY(std::abs(tops[2] - tops[1] - (2 * textHeight + 2) * pointsPerPixel) < 0.1);
  // The first line starts at the top of the printable area.
  const double top = printer.pageLayout().paintRect(QPageLayout::Point).top();
  QVERIFY2(tops[0] >= top && tops[0] < top + textHeight * pointsPerPixel, qPrintable(QString::number(tops[0])));
}

void PrintTests::longDerivationFillsSeveralPages() {
  Workbench bench;
  ScriptedDialogs dialogs;
  QTemporaryDir dir;
  std::string text;
  for (int i = 1; i <= 200; ++i) text += "line " + std::to_string(i) + "\r\n";
  TEditForm* editor = bench.NewEditor(text);
  const QString pdf = PrintToPdf(bench.frame(), dir);
  dialogs.printAnswers = {Confirm()};
  editor->Print1Click();
  QPrinter& printer = bench.frame().Printer();
  const int height = QFontMetrics(PrintFont(editor->Memo1()->font(), editor->Memo1()->logicalDpiY()), &printer).height() + 2;
  // A page takes lines while the position after them is not lower than the page
  // height minus two lines.
  const int perPage = (printer.height() - 2 * height) / height + 1;
  const QList<QStringList> pages = PdfPages(pdf);
  QCOMPARE(pages.size(), (200 + perPage - 1) / perPage);
  QStringList all;
  for (const QStringList& page : pages) {
    QVERIFY(page.size() <= perPage);
    all += page;
  }
  QCOMPARE(pages[0].size(), perPage);
  QCOMPARE(all.size(), 200);
  QCOMPARE(all.first(), QStringLiteral("line 1"));
  QCOMPARE(all.last(), QStringLiteral("line 200"));
}

void PrintTests::jobHasNoNameAndTheWindowsFont() {
  Workbench bench;
  ScriptedDialogs dialogs;
  QTemporaryDir dir;
  TEditForm* editor = bench.NewEditor("A|B&C\r\n");
  const QString pdf = PrintToPdf(bench.frame(), dir);
  bench.frame().Printer().setDocName(QStringLiteral("an earlier name"));
  dialogs.printAnswers = {Confirm()};
  editor->Print1Click();
  QVERIFY(bench.frame().Printer().docName().isEmpty());
  const QString info = RunTool(QStringLiteral("pdfinfo"), {pdf});
  QVERIFY2(!info.contains(QStringLiteral("an earlier name")), qPrintable(info));
  const QString fonts = RunTool(QStringLiteral("pdffonts"), {pdf});
  QVERIFY2(fonts.contains(QStringLiteral("LiberationMono")), qPrintable(fonts));

  // A font chosen for the window prints in that font.
  QFont serif(QStringLiteral("Liberation Serif"));
  serif.setPointSize(12);
  dialogs.fontAnswers = {serif};
  MenuItem(bench.frame(), "Font1")->trigger();
  dialogs.printAnswers = {Confirm()};
  editor->Print1Click();
  QVERIFY(RunTool(QStringLiteral("pdffonts"), {pdf}).contains(QStringLiteral("LiberationSerif")));
}

void PrintTests::copiesComeCollatedOrNot() {
  Workbench bench;
  ScriptedDialogs dialogs;
  QTemporaryDir dir;
  TEditForm* editor = bench.NewEditor("page one\r\n\fpage two\r\n");
  const QString pdf = PrintToPdf(bench.frame(), dir);
  auto copies = [](bool collate) {
    return [collate](QPrinter& printer) {
      printer.setCopyCount(2);
      printer.setCollateCopies(collate);
      return true;
    };
  };
  auto firstLines = [&pdf] {
    QStringList lines;
    for (const QStringList& page : PdfPages(pdf)) lines.append(page.value(0));
    return lines;
  };
  dialogs.printAnswers = {copies(true)};
  editor->Print1Click();
  QCOMPARE(firstLines(), QStringList({"page one", "page two", "page one", "page two"}));
  dialogs.printAnswers = {copies(false)};
  editor->Print1Click();
  QCOMPARE(firstLines(), QStringList({"page one", "page one", "page two", "page two"}));
}

void PrintTests::cancelledPrintDialogPrintsNothing() {
  Workbench bench;
  ScriptedDialogs dialogs;
  QTemporaryDir dir;
  TEditForm* editor = bench.NewEditor("text\r\n");
  const QString pdf = PrintToPdf(bench.frame(), dir);
  dialogs.printAnswers = {[](QPrinter&) { return false; }};
  editor->Print1Click();
  QVERIFY(dialogs.printAnswers.empty());
  QVERIFY(!QFile::exists(pdf));
  QVERIFY(dialogs.errors.isEmpty());
}

// A printer, copies and collation; a PDF file only where the printer writes PDF (no
// printer installed, or none the default).
void PrintTests::printDialogOffersPrinterCopiesAndCollation() {
  QPrinter printer(QPrinter::HighResolution);
  for (const QPrinter::OutputFormat format : {QPrinter::PdfFormat, QPrinter::NativeFormat}) {
    printer.setOutputFormat(format);  // stays PDF without an installed printer
    QPrintDialog dialog(&printer);
    SetPrintDialogChoices(dialog);
    QVERIFY(dialog.testOption(QAbstractPrintDialog::PrintCollateCopies));
    QVERIFY(!dialog.testOption(QAbstractPrintDialog::PrintPageRange));
    QVERIFY(!dialog.testOption(QAbstractPrintDialog::PrintSelection));
    QCOMPARE(dialog.testOption(QAbstractPrintDialog::PrintToFile), printer.outputFormat() == QPrinter::PdfFormat);
    QVERIFY(!dialog.testOption(QAbstractPrintDialog::PrintCurrentPage));
    QCOMPARE(dialog.printRange(), QAbstractPrintDialog::AllPages);
  }
}

void PrintTests::pageSetupAppliesToEveryWindow() {
  Workbench bench;
  ScriptedDialogs dialogs;
  QTemporaryDir dir;
  TEditForm* first = bench.NewEditor("first\r\n");
  const QString pdf = PrintToPdf(bench.frame(), dir);
  dialogs.printSetupAnswers = {[](QPrinter& printer) {
    printer.setPageOrientation(QPageLayout::Landscape);
    return true;
  }};
  MenuItem(bench.frame(), "PrintSetup1")->trigger();
  QVERIFY(dialogs.printSetupAnswers.empty());
  QCOMPARE(&bench.frame().Printer(), &bench.frame().Printer());

  TEditForm* second = bench.NewEditor("second\r\n");
  QVERIFY(second != first);
  dialogs.printAnswers = {Confirm()};
  MenuItem(bench.frame(), "Print1")->trigger();  // the second window's
  const QSizeF paper = PdfPageSize(pdf);
  QVERIFY2(paper.width() > paper.height(), qPrintable(QStringLiteral("%1 x %2").arg(paper.width()).arg(paper.height())));
  QCOMPARE(PdfPages(pdf).value(0), QStringList({"second"}));
}

// Without a printer, Print Setup sets up the page of the PDF that Print offers (and
// the next print has that page); Print has no default printer when the user empties
// the PDF file's name in the print dialog.
void PrintTests::withoutAPrinterThereIsNoDefaultPrinter() {
  Workbench bench;
  ScriptedDialogs dialogs;
  QTemporaryDir dir;
  TEditForm* editor = bench.NewEditor("text\r\n");
  // Without a printer the platform leaves the printer writing PDF to no file.
  QPrinter& printer = bench.frame().Printer();
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString());
  dialogs.printSetupAnswers = {[](QPrinter& chosen) {
    chosen.setPageOrientation(QPageLayout::Landscape);
    return true;
  }};
  editor->PrintSetup1Click();
  QVERIFY(dialogs.printSetupAnswers.empty());
  QVERIFY(dialogs.errors.isEmpty());
  QVERIFY(printer.outputFileName().isEmpty());  // Print still offers its PDF file
  const QString pdf = dir.filePath(QStringLiteral("text.pdf"));
  dialogs.printAnswers = {[pdf](QPrinter& chosen) {
                            chosen.setOutputFileName(pdf);
                            return true;
                          },
                          [](QPrinter& chosen) {
                            chosen.setOutputFileName(QString());
                            return true;
                          }};
  editor->Print1Click();
  const QSizeF paper = PdfPageSize(pdf);
  QVERIFY2(paper.width() > paper.height(), qPrintable(QStringLiteral("%1 x %2").arg(paper.width()).arg(paper.height())));
  editor->Print1Click();
  QCOMPARE(dialogs.errors, QStringList({"There is no default printer currently selected."}));
  QVERIFY(dialogs.unexpected.isEmpty());
}

// Without a printer, Print offers a PDF file beside the document, laid out as on paper;
// the printer goes back to no file afterwards.
void PrintTests::withoutAPrinterPrintWritesAPdf() {
  Workbench bench;
  ScriptedDialogs dialogs;
  QTemporaryDir dir;
  // A derivation of three pages (177 lines), from a document saved as proof.txt.
  TEditForm* editor = bench.NewEditor("(A=B)=C&D&E");
  editor->Document().DetailLevel = 1;
  editor->Memo1()->selectAll();
  editor->Decision1Click();
  const QString document = dir.filePath(QStringLiteral("proof.txt"));
  dialogs.saveAnswers = {document};
  editor->SaveAs1Click();
  QPrinter& printer = bench.frame().Printer();
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString());

  QString offered;
  dialogs.printAnswers = {[&offered](QPrinter& chosen) {
    offered = chosen.outputFileName();
    return true;
  }};
  editor->Print1Click();
  QCOMPARE(offered, dir.filePath(QStringLiteral("proof.pdf")));
  QVERIFY(dialogs.errors.isEmpty());
  QVERIFY(printer.outputFileName().isEmpty());

  QStringList lines;
  for (QString line : QString::fromStdString(TextOf(*editor)).split(QStringLiteral("\r\n"))) {
    line.replace(QRegularExpression(QStringLiteral(" {2,}")), QStringLiteral(" "));
    if (!line.trimmed().isEmpty()) lines.append(line.trimmed());
  }
  const int height = QFontMetrics(PrintFont(editor->Memo1()->font(), editor->Memo1()->logicalDpiY()), &printer).height() + 2;
  const int perPage = (printer.height() - 2 * height) / height + 1;
  const QList<QStringList> pages = PdfPages(offered);
  QCOMPARE(pages.size(), 3);
  QCOMPARE(pages[0].size(), perPage);
  QStringList printed;
  for (const QStringList& page : pages) printed += NonEmpty(page);
  QCOMPARE(printed, lines);
}

void PrintTests::printerThatCannotStartIsNotValid() {
  Workbench bench;
  ScriptedDialogs dialogs;
  QTemporaryDir dir;
  TEditForm* editor = bench.NewEditor("text\r\n");
  bench.frame().Printer().setOutputFileName(dir.filePath(QStringLiteral("missing/folder/out.pdf")));
  dialogs.printAnswers = {Confirm()};
  editor->Print1Click();
  QCOMPARE(dialogs.errors, QStringList({"Printer selected is not valid."}));
  QVERIFY(!editor->CommandRunning());
}

void PrintTests::secondJobWhilePrintingIsInProgress() {
  Workbench bench;
  ScriptedDialogs dialogs;
  QTemporaryDir dir;
  std::string text;
  for (int i = 0; i < 300; ++i) text += "a line of a long derivation\r\n";
  TEditForm* first = bench.NewEditor(text);
  TEditForm* second = bench.NewEditor("second\r\n");
  const QString pdf = PrintToPdf(bench.frame(), dir);
  // Between the pages of the first job the window system runs; the user reaches the
  // other window's Print and Print Setup, and closes the printing window, which waits
  // for the end of the job.
  bool reached = false;
  QTimer::singleShot(0, [&] {
    reached = true;
    QVERIFY(PrintingInProgress());
    QVERIFY(first->CommandRunning());
    second->Print1Click();
    second->PrintSetup1Click();
    first->Close1Click();
    QCOMPARE(bench.frame().Editors().size(), 2);  // the printing window stays open
  });
  dialogs.printAnswers = {Confirm()};
  first->Print1Click();
  QVERIFY(reached);
  QCOMPARE(dialogs.errors, QStringList({"Printing in progress.", "Printing in progress."}));
  QVERIFY(dialogs.unexpected.isEmpty());
  QVERIFY(!PrintingInProgress());
  QVERIFY(PdfPages(pdf).size() >= 4);
  WaitUntil([&] { return bench.frame().Editors().size() == 1; });
  QCOMPARE(bench.frame().Editors().size(), 1);  // and closes once the job has ended
}

QTEST_MAIN(PrintTests)
#include "app_print_tests.moc"
