#include "frame/ProgramPicture.h"

#include <QPainter>
#include <QPainterPath>

// A lamp (the light of "lumen") shining over an ark, on a navy tile, in colours of the
// 16-colour palette.
QPixmap ProgramPicture() {
  QPixmap picture(32, 32);
  picture.fill(QColor(0, 0, 128));
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing, false);

  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(255, 255, 0));
  painter.drawEllipse(QRect(11, 3, 10, 10));
  painter.setPen(QPen(QColor(255, 255, 0), 1));
  painter.drawLine(16, 0, 16, 1);
  painter.drawLine(7, 8, 9, 8);
  painter.drawLine(23, 8, 25, 8);
  painter.drawLine(9, 2, 10, 3);
  painter.drawLine(23, 2, 22, 3);

  QPainterPath hull;
  hull.moveTo(3, 20);
  hull.lineTo(29, 20);
  hull.lineTo(24, 28);
  hull.lineTo(8, 28);
  hull.closeSubpath();
  painter.setPen(QPen(Qt::black, 1));
  painter.setBrush(QColor(128, 0, 0));
  painter.drawPath(hull);
  painter.setBrush(QColor(192, 192, 192));
  painter.drawRect(QRect(10, 15, 12, 5));
  painter.setPen(QPen(Qt::white, 1));
  painter.drawLine(12, 17, 20, 17);

  painter.setPen(QPen(QColor(0, 255, 255), 1));
  painter.drawLine(0, 30, 31, 30);
  return picture;
}
