#pragma once
// The picture of a Karnaugh map as a student draws it: the formula above, then the
// cells with their 0s and 1s, the edges labelled in Gray-code order with the letters at
// the corner, and each group of the minimum DNF as a loop round its cells, in a style of
// its own (GroupStyle). A group that wraps round an edge of the map is drawn as a loop
// open at both edges, as on paper; with 5 and 6 letters each map of 4 by 4 cells is
// drawn on its own, captioned with the letters that choose it, a group that spans maps
// has a loop in each, and with 6 letters a rule parts the upper pair of maps from the
// lower. Below the maps, each group's style with its term, and the minimum DNF. The
// formula and the minimum DNF are broken into lines as wide as the maps (or some forty
// characters, if wider): a long result makes the picture longer, never wider.
//
// The same picture paints the window's view and the printed pages. It is made of
// bands from top to bottom, each line of text one and the maps one, that a page break
// must not cut.

#include <QColor>
#include <QFont>
#include <QPen>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <vector>

#include "minimum/KarnaughMap.h"
#include "views/PicturePages.h"

class QPainter;

class KarnaughPicture {
 public:
  // heading: the formula the map is of, written above it (nothing when empty).
  KarnaughPicture(const lumenark::KarnaughMap& map, const QFont& font, const QString& heading = {});

  QSizeF Size() const { return size_; }
  // Paints at the painter's origin, in its units (pixels of the font's device).
  void Paint(QPainter& painter) const;
  // The bands from top to bottom: where each begins and ends.
  const std::vector<PictureBand>& Bands() const { return bands_; }

  // Group g's colour (0 the first) and its pen of the given width, the same in the view
  // and in print. The groups of a map, 32 at most, each have a colour of their own, and
  // in grey each a shade or a dash of its own.
  static QColor GroupColor(std::size_t g);
  static QPen GroupPen(std::size_t g, double width);
  // The rectangle of the cell in the picture, for the map's row and column codes.
  QRectF CellRect(std::uint32_t row, std::uint32_t column) const;
  // Where the rule between the upper and the lower maps stands (6 letters), or -1.
  double RuleY() const { return ruleY_; }
  // The lines of text below the maps, as written: each group's, then the minimum DNF's.
  const QStringList& LegendLines() const { return legend_; }

 private:
  // One map of at most 4 by 4 cells: which rows and columns of the whole it shows.
  struct Panel {
    std::size_t firstRow, firstColumn;
    QRectF grid;     // the cells
    QString caption; // "C = 0"; empty with one map
  };
  // A line of text below the maps: a group's (with its sample of the group's pen) or the
  // minimum DNF's.
  struct LegendLine {
    QString text;
    int group;          // whose sample stands before it; -1: none
    bool besideSample;  // in the column right of the samples
    double top;
  };

  void LayOutPanels(double top);
  void PaintPanel(QPainter& painter, const Panel& panel) const;
  void PaintLoops(QPainter& painter, const Panel& panel, std::size_t g) const;
  double LoopWidth() const;

  lumenark::KarnaughMap map_;
  QFont font_;
  std::vector<std::uint32_t> rowCodes_, columnCodes_;
  std::size_t rowsPerPanel_, columnsPerPanel_;
  int innerRowLetters_, innerColumnLetters_;  // the letters of a panel's edges
  double cell_, labelWidth_, labelHeight_, captionHeight_, lineHeight_, margin_;
  std::vector<Panel> panels_;
  QStringList headingLines_;
  std::vector<LegendLine> legendLines_;
  QStringList legend_;
  double ruleY_ = -1, rulesLeft_ = 0, rulesRight_ = 0;
  std::vector<PictureBand> bands_;
  QSizeF size_;
};
