#pragma once
// The picture of a Karnaugh map as a student draws it: the cells with their 0s and 1s,
// the edges labelled in Gray-code order with the letters at the corner, and each group
// of the minimum DNF as a coloured loop round its cells. A group that wraps round an
// edge of the map is drawn as a loop open at both edges, as on paper; with 5 and 6
// letters each map of 4 by 4 cells is drawn on its own, captioned with the letters that
// choose it, and a group that spans maps has a loop in each. Below the maps, each
// group's colour with its term, and the minimum DNF.
//
// The same picture paints the window's view and the printed page.

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <vector>

#include "minimum/KarnaughMap.h"

class QPainter;

class KarnaughPicture {
 public:
  KarnaughPicture(const lumenark::KarnaughMap& map, const QFont& font);

  QSizeF Size() const { return size_; }
  // Paints at the painter's origin, in its units (pixels of the font's device).
  void Paint(QPainter& painter) const;

  // The colour of group g (0 the first), the same in the view and in print.
  static QColor GroupColor(std::size_t g);
  // The rectangle of the cell in the picture, for the map's row and column codes.
  QRectF CellRect(std::uint32_t row, std::uint32_t column) const;

 private:
  // One map of at most 4 by 4 cells: which rows and columns of the whole it shows.
  struct Panel {
    std::size_t firstRow, firstColumn;
    QRectF grid;     // the cells
    QString caption; // "C = 0"; empty with one map
  };

  void PaintPanel(QPainter& painter, const Panel& panel) const;
  void PaintLoops(QPainter& painter, const Panel& panel, std::size_t g) const;

  lumenark::KarnaughMap map_;
  QFont font_;
  std::vector<std::uint32_t> rowCodes_, columnCodes_;
  std::size_t rowsPerPanel_, columnsPerPanel_;
  int innerRowLetters_, innerColumnLetters_;  // the letters of a panel's edges
  double cell_, labelWidth_, labelHeight_, captionHeight_, lineHeight_, margin_;
  std::vector<Panel> panels_;
  double legendTop_;
  QSizeF size_;
};
