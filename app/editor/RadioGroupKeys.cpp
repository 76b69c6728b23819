#include "editor/RadioGroupKeys.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QFocusEvent>
#include <QKeyEvent>

RadioGroupKeys::RadioGroupKeys(QButtonGroup& group) : QObject(&group), group_(group) {
  for (QAbstractButton* button : group_.buttons()) button->installEventFilter(this);
}

void RadioGroupKeys::Choose(int index) {
  QAbstractButton* button = group_.buttons().at(index);
  button->setFocus(Qt::OtherFocusReason);
  button->click();
}

bool RadioGroupKeys::eventFilter(QObject* watched, QEvent* event) {
  const QList<QAbstractButton*> buttons = group_.buttons();
  const auto at = static_cast<int>(buttons.indexOf(static_cast<QAbstractButton*>(watched)));
  if (at < 0) return false;
  if (event->type() == QEvent::KeyPress) {
    const auto count = static_cast<int>(buttons.size());
    switch (static_cast<QKeyEvent*>(event)->key()) {
      case Qt::Key_Down:
      case Qt::Key_Right:
        Choose((at + 1) % count);
        return true;
      case Qt::Key_Up:
      case Qt::Key_Left:
        Choose((at + count - 1) % count);
        return true;
      default:
        return false;
    }
  }
  if (event->type() == QEvent::FocusIn) {
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    QAbstractButton* chosen = group_.checkedButton();
    if ((reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason) && chosen != nullptr &&
        chosen != watched) {
      chosen->setFocus(reason);
    }
  }
  return false;
}
