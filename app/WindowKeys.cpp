#include "WindowKeys.h"

#include <QAction>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>

void AddWindowKeys(QMainWindow& frame, QMdiArea& area) {
  auto* next = new QAction(&frame);
  next->setObjectName(QStringLiteral("NextWindow"));
  next->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F6));
  QObject::connect(next, &QAction::triggered, &area, &QMdiArea::activateNextSubWindow);
  frame.addAction(next);
}
