#include "WindowArrangement.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <algorithm>

namespace {

// The windows from the top of the stacking order down.
QList<QMdiSubWindow*> TopFirst(QMdiArea& area) {
  QList<QMdiSubWindow*> windows = area.subWindowList(QMdiArea::StackingOrder);
  std::reverse(windows.begin(), windows.end());
  return windows;
}

QList<QMdiSubWindow*> Minimised(QMdiArea& area, bool minimised) {
  QList<QMdiSubWindow*> result;
  for (QMdiSubWindow* window : TopFirst(area)) {
    if (window->isVisible() && window->isMinimized() == minimised) result.append(window);
  }
  return result;
}

int IconRowHeight(QMdiArea& area) {
  int height = 0;
  for (const QMdiSubWindow* window : Minimised(area, true)) height = std::max(height, window->height());
  return height;
}

}  // namespace

void TileHorizontally(QMdiArea& area) {
  const QList<QMdiSubWindow*> windows = Minimised(area, false);
  if (windows.isEmpty()) return;
  const QRect client = area.viewport()->rect();
  const int available = std::max(client.height() - IconRowHeight(area), static_cast<int>(windows.size()));
  const int height = available / static_cast<int>(windows.size());
  int top = 0;
  for (int i = 0; i < windows.size(); ++i) {
    QMdiSubWindow* window = windows[i];
    if (window->isMaximized()) window->showNormal();
    const int bottom = i + 1 == windows.size() ? available : top + height;
    window->setGeometry(0, top, client.width(), bottom - top);
    top = bottom;
  }
}

void ArrangeIcons(QMdiArea& area) {
  const QRect client = area.viewport()->rect();
  int left = 0;
  int bottom = client.height();
  int rowHeight = 0;
  for (QMdiSubWindow* window : Minimised(area, true)) {
    const QSize size = window->size();
    if (left > 0 && left + size.width() > client.width()) {
      left = 0;
      bottom -= rowHeight;
      rowHeight = 0;
    }
    window->move(left, bottom - size.height());
    left += size.width();
    rowHeight = std::max(rowHeight, size.height());
  }
}
