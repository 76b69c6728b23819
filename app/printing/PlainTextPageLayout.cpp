#include "printing/PlainTextPageLayout.h"

#include <utility>

PlainTextPageLayout::PlainTextPageLayout(PrintFontMetrics metrics, QSize page)
    : metrics_(std::move(metrics)), page_(page) {}

void PlainTextPageLayout::WriteLine(QStringView line) {
  qsizetype start = 0;
  for (qsizetype i = 0; i <= line.size(); ++i) {
    const bool control = i < line.size() && (line[i] == QLatin1Char('\t') || line[i] == QLatin1Char('\f'));
    if (i < line.size() && !control) continue;
    if (i > start) WriteText(line.mid(start, i - start));
    if (control) {
      if (line[i] == QLatin1Char('\t')) Tab();
      else NewPage();
    }
    start = i + 1;
  }
  if (line.isEmpty()) NewLine(metrics_.height, true);
  else NewLine(TextLineHeight(), false);
}

void PlainTextPageLayout::WriteText(QStringView text) {
  while (!text.isEmpty()) {
    qsizetype length = FittingLength(text);
    if (length == 0 && position_.x() > 0) {
      NewLine(TextLineHeight(), false);
      continue;
    }
    if (length == 0) length = 1;  // a character wider than the page: drawn anyway, cut off
    if (position_.y() > 0 && position_.y() + metrics_.height > page_.height()) {
      ++pageIndex_;  // the text would be cut off at the bottom: on at the next page's top
      position_.setY(0);
    }
    while (pages_.size() <= pageIndex_) pages_.append(PrintedPage());
    const QStringView piece = text.first(length);
    pages_[pageIndex_].append(PrintedRun{position_, piece.toString()});
    position_.rx() += metrics_.width(piece);
    text = text.sliced(length);
    if (!text.isEmpty()) NewLine(TextLineHeight(), false);
  }
}

// The longest start of text that fits between the position and the page's right edge.
qsizetype PlainTextPageLayout::FittingLength(QStringView text) const {
  const int room = page_.width() - position_.x();
  if (metrics_.width(text) <= room) return text.size();
  qsizetype fits = 0;
  qsizetype fails = text.size() + 1;
  while (fails - fits > 1) {
    const qsizetype middle = fits + (fails - fits) / 2;
    if (metrics_.width(text.first(middle)) <= room) fits = middle;
    else fails = middle;
  }
  return fits;
}

void PlainTextPageLayout::Tab() {
  const int step = TabStep();
  if (step <= 0) return;
  const int next = (position_.x() + step + 1) / step * step;
  if (next > page_.width()) NewLine(TextLineHeight(), false);
  else position_.setX(next);
}

void PlainTextPageLayout::NewLine(int height, bool emptyLine) {
  position_.setX(0);
  position_.ry() += height;
  const int reserve = emptyLine ? 0 : 2 * height;
  if (position_.y() > page_.height() - reserve) NewPage();
}

void PlainTextPageLayout::NewPage() {
  ++pageIndex_;
  position_ = QPoint(0, 0);
}
