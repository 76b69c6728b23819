#include "frame/MenuBarFocusStyle.h"

#include <QMenuBar>
#include <QStyleOptionMenuItem>

MenuBarFocusStyle::MenuBarFocusStyle() : QProxyStyle(nullptr) {}

void MenuBarFocusStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                                    const QWidget* widget) const {
  const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
  const auto* menuBar = qobject_cast<const QMenuBar*>(widget);
  if (element == CE_MenuBarItem && item != nullptr && menuBar != nullptr && menuBar->hasFocus() &&
      (item->state & State_Selected)) {
    // The title with the keyboard focus looks as it does with its menu open.
    QStyleOptionMenuItem focused = *item;
    focused.state |= State_Sunken;
    QProxyStyle::drawControl(element, &focused, painter, widget);
    return;
  }
  QProxyStyle::drawControl(element, option, painter, widget);
}
