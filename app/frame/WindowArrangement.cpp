#include "frame/WindowArrangement.h"

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

// How far a window lies below and right of the one behind it: its title bar and the
// frame above it.
int CascadeStep(const QMdiSubWindow& window) {
  const QWidget* content = window.widget();
  return std::max(content != nullptr ? content->geometry().top() : 0, 1);
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

void Cascade(QMdiArea& area) {
  QList<QMdiSubWindow*> windows = Minimised(area, false);
  if (windows.isEmpty()) return;
  // From the back to the front, the active window last.
  std::reverse(windows.begin(), windows.end());
  if (QMdiSubWindow* active = area.activeSubWindow(); windows.removeOne(active)) windows.append(active);

  const QRect client = area.viewport()->rect();
  const int height = std::max(client.height() - IconRowHeight(area), 1);
  const int step = CascadeStep(*windows.last());
  // The steps take a third of the height, as the platform's cascade does.
  const int steps = std::max(height / (3 * step), 1);
  const QSize size(std::max(client.width() - steps * step, step), std::max(height - steps * step, step));
  for (int i = 0; i < windows.size(); ++i) {
    QMdiSubWindow* window = windows[i];
    if (window->isMaximized()) window->showNormal();
    const int offset = (i % (steps + 1)) * step;
    window->setGeometry(QRect(QPoint(offset, offset), size));
    window->raise();
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
