#pragma once
// Where the lines of a print job land on the pages: the layout of the printer's
// plain-text device. All measures are printer pixels.
//
// - Text starts at the top-left corner of the printable area; there are no margins,
//   headers, footers or page numbers.
// - A line that does not fit the page width is broken after the last character that
//   fits; the rest goes on at the left edge of the next printed line.
// - A tab moves the position to the greatest multiple of T that does not exceed the
//   position plus T plus 1 pixel, T being eight average character widths (so to the
//   next multiple of T, or to the one after it from one pixel short of a multiple);
//   if that lies beyond the page width, printing goes on at the next line.
// - A form feed starts a new page.
// - After each line the position moves down by the line's height H: the text height
//   plus 2 pixels, or the bare text height for an empty line. A new page begins when
//   the position then lies lower than the page height minus 2 H (for an empty line,
//   lower than the page height).
//
// Two guards keep text on paper: a run of empty lines can bring the position so near
// the bottom that the next text would be cut off, and that text then starts a new
// page; and pages left empty at the end of the job are not printed.

#include <QList>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringView>
#include <functional>

// What the layout needs of the job's font on the printer.
struct PrintFontMetrics {
  int height = 0;            // of a line of text
  int averageCharWidth = 0;  // T is eight of these
  std::function<int(QStringView)> width;  // the advance of a piece of text
};

// A piece of text drawn with its top-left corner at position.
struct PrintedRun {
  QPoint position;
  QString text;
  bool operator==(const PrintedRun&) const = default;
};
using PrintedPage = QList<PrintedRun>;

class PlainTextPageLayout {
 public:
  PlainTextPageLayout(PrintFontMetrics metrics, QSize page);

  // Writes the line, then a line break.
  void WriteLine(QStringView line);
  // The pages up to the last one written on; blank pages between them are kept.
  const QList<PrintedPage>& Pages() const { return pages_; }

 private:
  void WriteText(QStringView text);  // text without tabs and form feeds
  void Tab();
  void NewLine(int height, bool emptyLine);
  void NewPage();
  int TabStep() const { return 8 * metrics_.averageCharWidth; }
  int TextLineHeight() const { return metrics_.height + 2; }
  qsizetype FittingLength(QStringView text) const;

  PrintFontMetrics metrics_;
  QSize page_;
  QList<PrintedPage> pages_;
  int pageIndex_ = 0;
  QPoint position_;
};
