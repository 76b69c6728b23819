#include "frame/WindowKeys.h"

#include <QAction>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

namespace {

const QKeySequence kCloseKey(Qt::CTRL | Qt::Key_F4);
const QKeySequence kNextKey(Qt::CTRL | Qt::Key_F6);

QAction* AddKey(QMainWindow& frame, const char* name, const QKeySequence& key) {
  auto* action = new QAction(&frame);
  action->setObjectName(QString::fromLatin1(name));
  action->setShortcut(key);
  frame.addAction(action);
  return action;
}

}  // namespace

void AddWindowKeys(QMainWindow& frame, QMdiArea& area) {
  QObject::connect(AddKey(frame, "CloseActiveWindow", kCloseKey), &QAction::triggered, &area, [&area] {
    if (QMdiSubWindow* window = area.activeSubWindow()) window->close();
  });
  QObject::connect(AddKey(frame, "NextWindow", kNextKey), &QAction::triggered, &area,
                   &QMdiArea::activateNextSubWindow);
}

void LeaveWindowKeysToFrame(QMdiSubWindow& window) {
  if (QMenu* menu = window.systemMenu()) {
    for (QAction* action : menu->actions()) {
      QList<QKeySequence> keys = action->shortcuts();
      if (keys.removeAll(kCloseKey) + keys.removeAll(kNextKey) > 0) action->setShortcuts(keys);
    }
  }
}
