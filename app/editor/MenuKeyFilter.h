#pragma once
// Keys of the menu bar come before the text control. A focused text control claims
// Ctrl+C, Ctrl+V, Ctrl+X, Del and others for itself before any menu item sees them;
// this filter refuses that claim for every key that an item of the menu bar (as it
// stands now) carries as its shortcut, so the item takes the key. Just before, the
// owner may bring the items' enabled states up to date (the Edit items follow the
// selection and the clipboard as they are when the key is pressed).
//
// Such a key reaches the text itself only when no item took it on its way: either the
// item is disabled, and then the key is swallowed, or the window system has not (yet)
// made the text's window the active one, which is how a window stands right after a
// dialog over it has closed when no window manager hands the keyboard back. The key
// came to the text all the same, so it is this window's: the filter runs the item, as
// the menu bar would have. Alt and a letter likewise open the menu whose caption marks
// the letter; Alt with a letter that no menu marks is swallowed, where the control
// would type the letter.

#include <QObject>
#include <functional>

class QAction;
class QKeyEvent;
class QMenuBar;

// The item of the menu bar whose shortcut is the key of the event: the first in the
// order of the bar (menus from left to right, each menu's items from top to bottom,
// submenus where they stand), or null.
QAction* MenuShortcutItem(const QMenuBar& menuBar, const QKeyEvent& key);

class MenuKeyFilter final : public QObject {
 public:
  // menuBar returns the menu bar whose items take precedence (or null); beforeKey runs
  // when a key of one of its items has been pressed, before the item is looked for.
  MenuKeyFilter(std::function<QMenuBar*()> menuBar, std::function<void()> beforeKey, QObject* parent);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<QMenuBar*()> menuBar_;
  std::function<void()> beforeKey_;
};
