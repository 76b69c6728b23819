#pragma once
// The menu bar's look while it has the keyboard focus. After Alt and a menu's key and
// then Esc, the menu bar keeps the focus on that menu's title, so that the arrow keys,
// Enter and the access keys go on from there; some styles (Fusion, Qt's default
// without a desktop) draw a title highlighted only while its menu is open, and the
// focus would not show at all. This style draws the title that has the focus as
// highlighted, and leaves every other look to the application's style.

#include <QProxyStyle>

class MenuBarFocusStyle final : public QProxyStyle {
 public:
  MenuBarFocusStyle();

  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override;
};
