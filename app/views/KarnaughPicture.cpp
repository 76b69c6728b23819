#include "views/KarnaughPicture.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace {

// A stretch of a map's edge that a loop spans: from cell first to cell last, open where
// it goes on across the edge of the map.
struct Run {
  std::size_t first, last;
  bool openBefore = false, openAfter = false;
};

// The stretches of the covered cells of an edge of size cells. A group covers 1, 2 or
// all cells of an edge, neighbours in Gray-code order; the first and the last cell are
// neighbours across the edge, and a loop round them is drawn open at both ends.
std::vector<Run> Runs(const std::vector<bool>& covered) {
  const std::size_t size = covered.size();
  if (size == 4 && covered[0] && covered[3] && !covered[1]) return {{0, 0, true, false}, {3, 3, false, true}};
  std::vector<Run> runs;
  for (std::size_t i = 0; i < size; ++i) {
    if (!covered[i]) continue;
    if (!runs.empty() && runs.back().last + 1 == i) runs.back().last = i;
    else runs.push_back({i, i});
  }
  return runs;
}

QString Binary(std::uint32_t code, int digits) { return QString::fromStdString(lumenark::KarnaughMap::Binary(code, digits)); }

}  // namespace

KarnaughPicture::KarnaughPicture(const lumenark::KarnaughMap& map, const QFont& font)
    : map_(map), font_(font), rowCodes_(map.RowCodes()), columnCodes_(map.ColumnCodes()) {
  const QFontMetricsF metrics(font_);
  lineHeight_ = metrics.height() * 1.4;
  cell_ = std::max(metrics.height() * 3.0, metrics.horizontalAdvance(QStringLiteral("000")) * 1.6);
  margin_ = lineHeight_;
  const int rowPanels = map_.rowLetters == 3 ? 2 : 1, columnPanels = map_.columnLetters == 3 ? 2 : 1;
  rowsPerPanel_ = rowCodes_.size() / static_cast<std::size_t>(rowPanels);
  columnsPerPanel_ = columnCodes_.size() / static_cast<std::size_t>(columnPanels);
  innerRowLetters_ = map_.rowLetters == 3 ? 2 : map_.rowLetters;
  innerColumnLetters_ = map_.columnLetters == 3 ? 2 : map_.columnLetters;
  const QString rowNames = QString::fromStdString(map_.letters.substr(map_.rowLetters - innerRowLetters_, innerRowLetters_));
  labelWidth_ = std::max(metrics.horizontalAdvance(rowNames), metrics.horizontalAdvance(QStringLiteral("00"))) + lineHeight_;
  labelHeight_ = lineHeight_ * 1.6;
  captionHeight_ = rowPanels * columnPanels > 1 ? lineHeight_ : 0;
  const double panelWidth = labelWidth_ + static_cast<double>(columnsPerPanel_) * cell_;
  const double panelHeight = captionHeight_ + labelHeight_ + static_cast<double>(rowsPerPanel_) * cell_;
  const double gap = cell_ * 0.6;
  for (int br = 0; br < rowPanels; ++br) {
    for (int bc = 0; bc < columnPanels; ++bc) {
      Panel panel{static_cast<std::size_t>(br) * rowsPerPanel_, static_cast<std::size_t>(bc) * columnsPerPanel_, {}, {}};
      const double left = margin_ + bc * (panelWidth + gap), top = margin_ + br * (panelHeight + gap);
      panel.grid = QRectF(left + labelWidth_, top + captionHeight_ + labelHeight_, static_cast<double>(columnsPerPanel_) * cell_,
                          static_cast<double>(rowsPerPanel_) * cell_);
      QStringList chosen;
      if (rowPanels > 1) chosen << QStringLiteral("%1 = %2").arg(QChar::fromLatin1(map_.letters[0])).arg(br);
      if (columnPanels > 1) chosen << QStringLiteral("%1 = %2").arg(QChar::fromLatin1(map_.letters[map_.rowLetters])).arg(bc);
      panel.caption = chosen.join(QStringLiteral(", "));
      panels_.push_back(panel);
    }
  }
  legendTop_ = margin_ + rowPanels * panelHeight + (rowPanels - 1) * gap + lineHeight_ * 0.5;
  double width = columnPanels * panelWidth + (columnPanels - 1) * gap;
  for (const lumenark::KarnaughGroup& group : map_.groups) {
    width = std::max(width, lineHeight_ * 3 + metrics.horizontalAdvance(QString::fromStdString(group.term)));
  }
  width = std::max(width, metrics.horizontalAdvance(QStringLiteral("Minimum DNF: ") + QString::fromStdString(map_.minimum)));
  size_ = QSizeF(width + 2 * margin_, legendTop_ + static_cast<double>(map_.groups.size() + 1) * lineHeight_ + margin_);
}

QColor KarnaughPicture::GroupColor(std::size_t g) {
  static const QColor kColors[] = {QColor(214, 39, 40),  QColor(31, 119, 180), QColor(44, 160, 44),  QColor(255, 127, 14),
                                   QColor(148, 103, 189), QColor(23, 190, 207), QColor(227, 119, 194), QColor(140, 86, 75),
                                   QColor(188, 189, 34),  QColor(127, 127, 127)};
  return kColors[g % std::size(kColors)];
}

QRectF KarnaughPicture::CellRect(std::uint32_t row, std::uint32_t column) const {
  const std::size_t r = static_cast<std::size_t>(std::find(rowCodes_.begin(), rowCodes_.end(), row) - rowCodes_.begin());
  const std::size_t c = static_cast<std::size_t>(std::find(columnCodes_.begin(), columnCodes_.end(), column) - columnCodes_.begin());
  for (const Panel& panel : panels_) {
    if (r >= panel.firstRow && r < panel.firstRow + rowsPerPanel_ && c >= panel.firstColumn && c < panel.firstColumn + columnsPerPanel_) {
      return QRectF(panel.grid.left() + static_cast<double>(c - panel.firstColumn) * cell_,
                    panel.grid.top() + static_cast<double>(r - panel.firstRow) * cell_, cell_, cell_);
    }
  }
  return {};
}

void KarnaughPicture::Paint(QPainter& painter) const {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillRect(QRectF(QPointF(0, 0), size_), Qt::white);
  painter.setFont(font_);
  for (const Panel& panel : panels_) PaintPanel(painter, panel);
  for (std::size_t g = 0; g < map_.groups.size(); ++g) {
    for (const Panel& panel : panels_) PaintLoops(painter, panel, g);
  }
  // The legend: each group's colour and term, then the minimum DNF.
  double y = legendTop_;
  for (std::size_t g = 0; g < map_.groups.size(); ++g, y += lineHeight_) {
    painter.setPen(QPen(GroupColor(g), std::max(2.0, cell_ / 14)));
    painter.drawLine(QPointF(margin_, y + lineHeight_ / 2), QPointF(margin_ + lineHeight_ * 1.5, y + lineHeight_ / 2));
    painter.setPen(Qt::black);
    painter.drawText(QRectF(margin_ + lineHeight_ * 2, y, size_.width(), lineHeight_), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("%1  %2").arg(g + 1).arg(QString::fromStdString(map_.groups[g].term)));
  }
  painter.drawText(QRectF(margin_, y, size_.width(), lineHeight_), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("Minimum DNF: ") + QString::fromStdString(map_.minimum));
  painter.restore();
}

void KarnaughPicture::PaintPanel(QPainter& painter, const Panel& panel) const {
  const QRectF& grid = panel.grid;
  painter.setPen(Qt::black);
  if (!panel.caption.isEmpty()) {
    painter.drawText(QRectF(grid.left() - labelWidth_, grid.top() - labelHeight_ - captionHeight_, grid.width() + labelWidth_, captionHeight_),
                     Qt::AlignCenter, panel.caption);
  }
  // The corner: a diagonal, the row letters below it, the column letters above.
  const QRectF corner(grid.left() - labelWidth_, grid.top() - labelHeight_, labelWidth_, labelHeight_);
  painter.drawLine(corner.topLeft(), corner.bottomRight());
  const std::size_t rowStart = static_cast<std::size_t>(map_.rowLetters - innerRowLetters_);
  const std::size_t columnStart = static_cast<std::size_t>(map_.rowLetters + map_.columnLetters - innerColumnLetters_);
  painter.drawText(corner.adjusted(2, 0, 0, -1), Qt::AlignLeft | Qt::AlignBottom,
                   QString::fromStdString(map_.letters.substr(rowStart, static_cast<std::size_t>(innerRowLetters_))));
  painter.drawText(corner.adjusted(0, 1, -2, 0), Qt::AlignRight | Qt::AlignTop,
                   QString::fromStdString(map_.letters.substr(columnStart, static_cast<std::size_t>(innerColumnLetters_))));
  const std::uint32_t rowMask = (1u << innerRowLetters_) - 1, columnMask = (1u << innerColumnLetters_) - 1;
  for (std::size_t c = 0; c < columnsPerPanel_; ++c) {
    const QRectF label(grid.left() + static_cast<double>(c) * cell_, grid.top() - lineHeight_, cell_, lineHeight_);
    painter.drawText(label, Qt::AlignCenter, Binary(columnCodes_[panel.firstColumn + c] & columnMask, innerColumnLetters_));
  }
  for (std::size_t r = 0; r < rowsPerPanel_; ++r) {
    const QRectF label(grid.left() - labelWidth_, grid.top() + static_cast<double>(r) * cell_, labelWidth_ - lineHeight_ * 0.3, cell_);
    painter.drawText(label, Qt::AlignRight | Qt::AlignVCenter, Binary(rowCodes_[panel.firstRow + r] & rowMask, innerRowLetters_));
  }
  // The cells: thin lines between them, a frame round the map, the 1s in bold.
  painter.setPen(QPen(QColor(170, 170, 170), 1));
  for (std::size_t i = 1; i < columnsPerPanel_; ++i) {
    const double x = grid.left() + static_cast<double>(i) * cell_;
    painter.drawLine(QPointF(x, grid.top()), QPointF(x, grid.bottom()));
  }
  for (std::size_t i = 1; i < rowsPerPanel_; ++i) {
    const double y = grid.top() + static_cast<double>(i) * cell_;
    painter.drawLine(QPointF(grid.left(), y), QPointF(grid.right(), y));
  }
  painter.setPen(QPen(Qt::black, 1.5));
  painter.drawRect(grid);
  QFont bold = font_;
  bold.setBold(true);
  for (std::size_t r = 0; r < rowsPerPanel_; ++r) {
    for (std::size_t c = 0; c < columnsPerPanel_; ++c) {
      const bool one = map_.Value(rowCodes_[panel.firstRow + r], columnCodes_[panel.firstColumn + c]);
      painter.setFont(one ? bold : font_);
      painter.setPen(one ? Qt::black : QColor(150, 150, 150));
      painter.drawText(QRectF(grid.left() + static_cast<double>(c) * cell_, grid.top() + static_cast<double>(r) * cell_, cell_, cell_),
                       Qt::AlignCenter, one ? QStringLiteral("1") : QStringLiteral("0"));
    }
  }
  painter.setFont(font_);
}

void KarnaughPicture::PaintLoops(QPainter& painter, const Panel& panel, std::size_t g) const {
  const lumenark::KarnaughGroup& group = map_.groups[g];
  std::vector<bool> rows(rowsPerPanel_), columns(columnsPerPanel_);
  const std::uint32_t columnBits = (1u << map_.columnLetters) - 1;
  for (std::size_t r = 0; r < rowsPerPanel_; ++r) {
    const std::uint32_t row = rowCodes_[panel.firstRow + r] << map_.columnLetters;
    rows[r] = (row & group.care & ~columnBits) == (group.value & ~columnBits);
  }
  for (std::size_t c = 0; c < columnsPerPanel_; ++c) {
    columns[c] = (columnCodes_[panel.firstColumn + c] & group.care & columnBits) == (group.value & columnBits);
  }
  // Loops of later groups lie a little further inside their cells, so that loops round
  // the same cells stay apart.
  const double inset = cell_ * (0.07 + 0.06 * static_cast<double>(g % 4));
  QColor fill = GroupColor(g);
  fill.setAlpha(40);
  painter.save();
  painter.setClipRect(panel.grid.adjusted(-1, -1, 1, 1));
  painter.setPen(QPen(GroupColor(g), std::max(2.0, cell_ / 14)));
  painter.setBrush(fill);
  for (const Run& across : Runs(columns)) {
    for (const Run& down : Runs(rows)) {
      QRectF loop(panel.grid.left() + static_cast<double>(across.first) * cell_, panel.grid.top() + static_cast<double>(down.first) * cell_,
                  static_cast<double>(across.last - across.first + 1) * cell_, static_cast<double>(down.last - down.first + 1) * cell_);
      loop.adjust(inset, inset, -inset, -inset);
      // Open ends reach past the edge, where the clip cuts them off.
      loop.adjust(across.openBefore ? -cell_ : 0, down.openBefore ? -cell_ : 0, across.openAfter ? cell_ : 0,
                  down.openAfter ? cell_ : 0);
      painter.drawRoundedRect(loop, cell_ * 0.3, cell_ * 0.3);
    }
  }
  painter.restore();
}
