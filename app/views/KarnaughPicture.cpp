#include "views/KarnaughPicture.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "views/FormulaLines.h"

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

// The styles of the groups. A map of 6 letters has at most 32 groups (the 32 ones of a
// chain of equivalences, none beside another); 8 shades of grey times 4 dashes tell
// them apart printed in grey, and their hues, a golden angle apart, in colour.
constexpr int kShades = 8;
constexpr Qt::PenStyle kDashes[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine};

// The grey a colour prints as (the weights of Qt's qGray).
double Grey(const QColor& colour) { return (11 * colour.redF() + 16 * colour.greenF() + 5 * colour.blueF()) / 32; }

// A colour of the hue whose grey is the one wanted: the lightness found by halving.
QColor WithGrey(double hue, double grey) {
  double low = 0, high = 1;
  QColor colour;
  for (int i = 0; i < 30; ++i) {
    const double lightness = (low + high) / 2;
    colour = QColor::fromHslF(static_cast<float>(hue), 0.85f, static_cast<float>(lightness));
    (Grey(colour) < grey ? low : high) = lightness;
  }
  return colour;
}

// Shades from dark to a grey that still stands out on white, the first groups in the
// middle ones; neighbouring groups get shades far apart.
double ShadeOf(std::size_t g) {
  constexpr int kOrder[kShades] = {3, 6, 1, 4, 7, 2, 5, 0};
  return 0.17 + 0.065 * kOrder[g % kShades];
}

}  // namespace

QColor KarnaughPicture::GroupColor(std::size_t g) {
  const double hue = std::fmod(0.03 + static_cast<double>(g) * 0.381966, 1.0);  // 137.5 degrees
  return WithGrey(hue, ShadeOf(g));
}

QPen KarnaughPicture::GroupPen(std::size_t g, double width) {
  QPen pen(GroupColor(g), width);
  pen.setStyle(kDashes[(g / kShades) % std::size(kDashes)]);
  pen.setCapStyle(Qt::FlatCap);
  return pen;
}

KarnaughPicture::KarnaughPicture(const lumenark::KarnaughMap& map, const QFont& font, const QString& heading)
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
  const double gap = cell_ * 0.6;
  const double mapsWidth = columnPanels * panelWidth + (columnPanels - 1) * gap;
  // Text goes in lines as wide as the maps, or forty characters where they are narrower.
  const double textWidth = std::max(mapsWidth, metrics.averageCharWidth() * 40);

  double y = margin_;
  for (const QString& line : FormulaLines(heading, metrics, textWidth)) {
    headingLines_.append(line);
    bands_.push_back({y, y + lineHeight_});
    y += lineHeight_;
  }
  if (!headingLines_.isEmpty()) y += lineHeight_ * 0.5;
  const double mapsTop = y;
  LayOutPanels(mapsTop);
  y = panels_.back().grid.bottom();
  bands_.push_back({mapsTop, y});
  y += lineHeight_ * 0.5;

  // The legend: each group with its sample, then the minimum DNF, all broken within the
  // text's width (less the samples').
  const double sampleWidth = lineHeight_ * 2;
  for (std::size_t g = 0; g < map_.groups.size(); ++g) {
    const QString term = QString::fromStdString(map_.groups[g].term);
    // The constant 1 covers every cell: said so, it does not read as a group number.
    const QString shown = term == QStringLiteral("1") ? QStringLiteral("1 (every cell)") : term;
    const QString prefix = QStringLiteral("Group %1: ").arg(g + 1);
    const QStringList lines = FormulaLines(shown, metrics, textWidth - sampleWidth - metrics.horizontalAdvance(prefix));
    for (qsizetype i = 0; i < lines.size(); ++i) {
      const QString text = (i == 0 ? prefix : QString(prefix.size(), QLatin1Char(' '))) + lines[i];
      legendLines_.push_back({text, i == 0 ? static_cast<int>(g) : -1, true, y});
      legend_.append(text);
      bands_.push_back({y, y + lineHeight_});
      y += lineHeight_;
    }
  }
  const QString result = QStringLiteral("Minimum DNF: ") + QString::fromStdString(map_.minimum);
  for (const QString& line : FormulaLines(result, metrics, textWidth)) {
    legendLines_.push_back({line, -1, false, y});
    legend_.append(line);
    bands_.push_back({y, y + lineHeight_});
    y += lineHeight_;
  }
  size_ = QSizeF(textWidth + 2 * margin_, y + margin_);
}

// The maps side by side and, with 6 letters, one pair above the other, parted by a rule
// in a gap as high as a cell.
void KarnaughPicture::LayOutPanels(double top) {
  const int rowPanels = map_.rowLetters == 3 ? 2 : 1, columnPanels = map_.columnLetters == 3 ? 2 : 1;
  const double panelWidth = labelWidth_ + static_cast<double>(columnsPerPanel_) * cell_;
  const double panelHeight = captionHeight_ + labelHeight_ + static_cast<double>(rowsPerPanel_) * cell_;
  const double gap = cell_ * 0.6, pairGap = cell_;
  for (int br = 0; br < rowPanels; ++br) {
    for (int bc = 0; bc < columnPanels; ++bc) {
      Panel panel{static_cast<std::size_t>(br) * rowsPerPanel_, static_cast<std::size_t>(bc) * columnsPerPanel_, {}, {}};
      const double left = margin_ + bc * (panelWidth + gap), panelTop = top + br * (panelHeight + pairGap);
      panel.grid = QRectF(left + labelWidth_, panelTop + captionHeight_ + labelHeight_, static_cast<double>(columnsPerPanel_) * cell_,
                          static_cast<double>(rowsPerPanel_) * cell_);
      QStringList chosen;
      if (rowPanels > 1) chosen << QStringLiteral("%1 = %2").arg(QChar::fromLatin1(map_.letters[0])).arg(br);
      if (columnPanels > 1) chosen << QStringLiteral("%1 = %2").arg(QChar::fromLatin1(map_.letters[map_.rowLetters])).arg(bc);
      panel.caption = chosen.join(QStringLiteral(", "));
      panels_.push_back(panel);
    }
  }
  if (rowPanels > 1) {
    ruleY_ = top + panelHeight + pairGap / 2;
    rulesLeft_ = margin_;
    rulesRight_ = margin_ + columnPanels * panelWidth + (columnPanels - 1) * gap;
  }
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

double KarnaughPicture::LoopWidth() const { return std::max(2.0, cell_ / 14); }

void KarnaughPicture::Paint(QPainter& painter) const {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillRect(QRectF(QPointF(0, 0), size_), Qt::white);
  painter.setFont(font_);
  painter.setPen(Qt::black);
  for (qsizetype i = 0; i < headingLines_.size(); ++i) {
    painter.drawText(QRectF(margin_, bands_[static_cast<std::size_t>(i)].top, size_.width(), lineHeight_),
                     Qt::AlignLeft | Qt::AlignVCenter, headingLines_[i]);
  }
  for (const Panel& panel : panels_) PaintPanel(painter, panel);
  for (std::size_t g = 0; g < map_.groups.size(); ++g) {
    for (const Panel& panel : panels_) PaintLoops(painter, panel, g);
  }
  if (ruleY_ >= 0) {
    painter.setPen(QPen(Qt::black, 1));
    painter.drawLine(QPointF(rulesLeft_, ruleY_), QPointF(rulesRight_, ruleY_));
  }
  // The legend: each group's sample and term, then the minimum DNF.
  for (const LegendLine& line : legendLines_) {
    double left = margin_;
    if (line.besideSample) {
      if (line.group >= 0) {
        painter.setPen(GroupPen(static_cast<std::size_t>(line.group), LoopWidth()));
        painter.drawLine(QPointF(left, line.top + lineHeight_ / 2), QPointF(left + lineHeight_ * 1.5, line.top + lineHeight_ / 2));
      }
      left += lineHeight_ * 2;
    }
    painter.setPen(Qt::black);
    painter.drawText(QRectF(left, line.top, size_.width(), lineHeight_), Qt::AlignLeft | Qt::AlignVCenter, line.text);
  }
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
  painter.setPen(GroupPen(g, LoopWidth()));
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
