#pragma once
// Keys of the menu bar come before the text control. A focused text control claims
// Ctrl+C, Ctrl+V, Ctrl+X, Del and others for itself before any menu item sees them;
// this filter refuses that claim for every key that an item of the menu bar (as it
// stands now) carries as its shortcut, so the item takes the key. Just before, the
// owner may bring the items' enabled states up to date (the Edit items follow the
// selection and the clipboard as they are when the key is pressed). When the item is
// disabled the key is swallowed: it never reaches the text control. So is Alt with a
// letter that no menu mnemonic took, which the control would type.

#include <QObject>
#include <functional>

class QKeyEvent;
class QMenuBar;

// Whether an item of the menu bar, in any of its menus and submenus, has the key of
// the event as its shortcut.
bool IsMenuShortcut(const QMenuBar& menuBar, const QKeyEvent& key);

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
