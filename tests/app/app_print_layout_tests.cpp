// Where printed text lands: the plain-text device's page layout measured with a font
// of known sizes, the order of pages for copies, the job's font, and the lines that
// printing takes from a window.

#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include "editor/MemoControl.h"
#include "printing/PlainTextPageLayout.h"
#include "printing/PrintJob.h"
#include "printing/PrintedLines.h"

namespace {

// A font whose characters are 10 pixels wide ('W' 79, '|' 1) and 20 high, so T is 80
// and a line of text takes H = 22.
PrintFontMetrics TestFont() {
  return PrintFontMetrics{20, 10, [](QStringView text) {
                            int width = 0;
                            for (QChar c : text) width += c == QLatin1Char('W') ? 79 : c == QLatin1Char('|') ? 1 : 10;
                            return width;
                          }};
}

QList<PrintedPage> Layout(const QStringList& lines, QSize page = QSize(1000, 1000)) {
  PlainTextPageLayout layout(TestFont(), page);
  for (const QString& line : lines) layout.WriteLine(line);
  return layout.Pages();
}

PrintedRun Run(int x, int y, const char* text) { return PrintedRun{QPoint(x, y), QString::fromLatin1(text)}; }

}  // namespace

namespace QTest {
template <>
char* toString(const PrintedRun& run) {
  return qstrdup(QStringLiteral("(%1,%2) '%3'").arg(run.position.x()).arg(run.position.y()).arg(run.text).toUtf8());
}
}  // namespace QTest

class PrintLayoutTests : public QObject {
  Q_OBJECT

 private slots:
  void linesStartAtTheTopLeftOneUnderTheOther();
  void emptyLineTakesTheBareTextHeight();
  void longLineBreaksAfterTheLastCharacterThatFits();
  void characterWiderThanThePageIsPrintedAlone();
  void tabMovesToTheNextStop_data();
  void tabMovesToTheNextStop();
  void tabBeyondThePageWidthGoesOnAtTheNextLine();
  void formFeedStartsANewPage();
  void pageBreaksWhenTwoLinesNoLongerFit();
  void emptyLinesBreakOnlyBelowThePage();
  void textAfterEmptyLinesIsNotCutOff();
  void emptyPagesAtTheEndAreNotPrinted();
  void copiesCollatedOrNot();
  void jobFontHasTheTextsPointSize();
  void printedLinesAreTheTextsLines();
  void lineIsTakenWithAtMost4096Characters();
};

void PrintLayoutTests::linesStartAtTheTopLeftOneUnderTheOther() {
  const QList<PrintedPage> pages = Layout({"abc", "de"});
  QCOMPARE(pages.size(), 1);
  QCOMPARE(pages[0], PrintedPage({Run(0, 0, "abc"), Run(0, 22, "de")}));
}

void PrintLayoutTests::emptyLineTakesTheBareTextHeight() {
  const QList<PrintedPage> pages = Layout({"a", "", "b"});
  QCOMPARE(pages[0], PrintedPage({Run(0, 0, "a"), Run(0, 42, "b")}));
}

void PrintLayoutTests::longLineBreaksAfterTheLastCharacterThatFits() {
  // 55 pixels take five characters; the rest goes on at the left of the next line.
  const QList<PrintedPage> pages = Layout({"abcdefghijkl", "z"}, QSize(55, 1000));
  QCOMPARE(pages[0], PrintedPage({Run(0, 0, "abcde"), Run(0, 22, "fghij"), Run(0, 44, "kl"), Run(0, 66, "z")}));
  // A character that ends exactly at the edge fits.
  QCOMPARE(Layout({"abcdefg"}, QSize(50, 1000))[0], PrintedPage({Run(0, 0, "abcde"), Run(0, 22, "fg")}));
}

void PrintLayoutTests::characterWiderThanThePageIsPrintedAlone() {
  QCOMPARE(Layout({"ab"}, QSize(5, 1000))[0], PrintedPage({Run(0, 0, "a"), Run(0, 22, "b")}));
}

void PrintLayoutTests::tabMovesToTheNextStop_data() {
  QTest::addColumn<QString>("line");
  QTest::addColumn<int>("x");  // where the text after the tab starts
  QTest::newRow("from 0") << "\tb" << 80;
  QTest::newRow("from 10") << "a\tb" << 80;
  QTest::newRow("one pixel short of a stop") << "W\tb" << 160;
  QTest::newRow("on a stop") << "W|\tb" << 160;
  QTest::newRow("one pixel past a stop") << "W||\tb" << 160;
  QTest::newRow("two tabs") << "\t\tb" << 160;
}

void PrintLayoutTests::tabMovesToTheNextStop() {
  QFETCH(QString, line);
  QFETCH(int, x);
  const PrintedPage page = Layout({line})[0];
  QCOMPARE(page.last(), Run(x, 0, "b"));
}

void PrintLayoutTests::tabBeyondThePageWidthGoesOnAtTheNextLine() {
  // From 90 the next stop, 160, lies beyond the width of 100.
  QCOMPARE(Layout({"abcdefghi\tz"}, QSize(100, 1000))[0], PrintedPage({Run(0, 0, "abcdefghi"), Run(0, 22, "z")}));
  // A stop at the page width is still on the line; what follows it breaks as text.
  QCOMPARE(Layout({"a\tz"}, QSize(90, 1000))[0], PrintedPage({Run(0, 0, "a"), Run(80, 0, "z")}));
  QCOMPARE(Layout({"a\tz"}, QSize(80, 1000))[0], PrintedPage({Run(0, 0, "a"), Run(0, 22, "z")}));
}

void PrintLayoutTests::formFeedStartsANewPage() {
  const QList<PrintedPage> pages = Layout({"one", "two\fthree", "four"});
  QCOMPARE(pages.size(), 2);
  QCOMPARE(pages[0], PrintedPage({Run(0, 0, "one"), Run(0, 22, "two")}));
  QCOMPARE(pages[1], PrintedPage({Run(0, 0, "three"), Run(0, 22, "four")}));
}

void PrintLayoutTests::pageBreaksWhenTwoLinesNoLongerFit() {
  // Page height 100, H 22: after the third line the position, 66, lies lower than
  // 100 - 44 = 56.
  const QList<PrintedPage> pages = Layout({"a", "b", "c", "d"}, QSize(1000, 100));
  QCOMPARE(pages.size(), 2);
  QCOMPARE(pages[0], PrintedPage({Run(0, 0, "a"), Run(0, 22, "b"), Run(0, 44, "c")}));
  QCOMPARE(pages[1], PrintedPage({Run(0, 0, "d")}));
  // 56 itself does not lie lower: with a page of 122 the break comes after line 4.
  QCOMPARE(Layout({"a", "b", "c", "d", "e"}, QSize(1000, 122))[0].size(), 4);
}

void PrintLayoutTests::emptyLinesBreakOnlyBelowThePage() {
  // Empty lines move down 20 each and break only when lower than the page height.
  const QList<PrintedPage> pages = Layout({"a", "", "", "", "", "b"}, QSize(1000, 122));
  QCOMPARE(pages.size(), 1);
  QCOMPARE(pages[0], PrintedPage({Run(0, 0, "a"), Run(0, 102, "b")}));
  QCOMPARE(Layout({"a", "", "", "", "", "", "b"}, QSize(1000, 122))[1], PrintedPage({Run(0, 0, "b")}));
}

void PrintLayoutTests::textAfterEmptyLinesIsNotCutOff() {
  // At 102 on a page of 110 the text would reach 122: it goes to the next page's top.
  const QList<PrintedPage> pages = Layout({"a", "", "", "", "", "b"}, QSize(1000, 110));
  QCOMPARE(pages.size(), 2);
  QCOMPARE(pages[0], PrintedPage({Run(0, 0, "a")}));
  QCOMPARE(pages[1], PrintedPage({Run(0, 0, "b")}));
  // A tab at the start of such a line keeps its column.
  QCOMPARE(Layout({"a", "", "", "", "", "\tb"}, QSize(1000, 110))[1], PrintedPage({Run(80, 0, "b")}));
}

void PrintLayoutTests::emptyPagesAtTheEndAreNotPrinted() {
  QCOMPARE(Layout({"a", "b", "c"}, QSize(1000, 100)).size(), 1);  // the break after c
  QCOMPARE(Layout({"a\f"}).size(), 1);
  QCOMPARE(Layout({}).size(), 0);
  QCOMPARE(Layout({"", ""}).size(), 0);
  // Blank pages between printed ones stay.
  const QList<PrintedPage> pages = Layout({"\f\fb"});
  QCOMPARE(pages.size(), 3);
  QVERIFY(pages[0].isEmpty() && pages[1].isEmpty());
  QCOMPARE(pages[2], PrintedPage({Run(0, 0, "b")}));
}

void PrintLayoutTests::copiesCollatedOrNot() {
  QCOMPARE(PageSequence(3, 1, true), QList<int>({0, 1, 2}));
  QCOMPARE(PageSequence(2, 3, true), QList<int>({0, 1, 0, 1, 0, 1}));
  QCOMPARE(PageSequence(2, 3, false), QList<int>({0, 0, 0, 1, 1, 1}));
  QCOMPARE(PageSequence(0, 2, true), QList<int>());
}

void PrintLayoutTests::jobFontHasTheTextsPointSize() {
  QFont pixels(QStringLiteral("Courier New"));
  pixels.setPixelSize(13);
  const QFont printed = PrintFont(pixels, 96);
  QCOMPARE(printed.pointSizeF(), 10.0);
  QCOMPARE(printed.family(), pixels.family());
  QFont points(QStringLiteral("Liberation Serif"));
  points.setPointSizeF(11.5);
  points.setBold(true);
  QCOMPARE(PrintFont(points, 96), points);
  QCOMPARE(PrintFont(pixels, 120).pointSizeF(), 8.0);  // 7.8 points on a denser screen
}

void PrintLayoutTests::printedLinesAreTheTextsLines() {
  MemoControl memo(nullptr);
  memo.SetDocumentText("first\r\n\tsecond\fpage\r\n\r\nlast");
  QCOMPARE(PrintedLines(memo), QStringList({"first", "\tsecond\fpage", "", "last"}));
}

void PrintLayoutTests::lineIsTakenWithAtMost4096Characters() {
  MemoControl memo(nullptr);
  memo.SetDocumentText(std::string(5000, 'x') + "\r\nshort");
  const QStringList lines = PrintedLines(memo);
  QCOMPARE(lines.size(), 2);
  QCOMPARE(lines[0], QString(4096, QLatin1Char('x')));
  QCOMPARE(lines[1], QStringLiteral("short"));
}

QTEST_MAIN(PrintLayoutTests)
#include "app_print_layout_tests.moc"
