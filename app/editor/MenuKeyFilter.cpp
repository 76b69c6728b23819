#include "editor/MenuKeyFilter.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

namespace {

QAction* ItemWithShortcut(const QList<QAction*>& actions, const QKeySequence& key) {
  for (QAction* action : actions) {
    if (action->menu() != nullptr) {
      if (QAction* item = ItemWithShortcut(action->menu()->actions(), key)) return item;
    }
    for (const QKeySequence& shortcut : action->shortcuts()) {
      if (shortcut.matches(key) == QKeySequence::ExactMatch) return action;
    }
  }
  return nullptr;
}

// Whether the item runs when chosen: it and every menu above it are enabled.
bool Runs(const QAction* item) {
  if (!item->isEnabled()) return false;
  for (const QObject* owner : item->associatedObjects()) {
    const auto* menu = qobject_cast<const QMenu*>(owner);
    if (menu != nullptr && menu->menuAction() != item && !Runs(menu->menuAction())) return false;
  }
  return true;
}

bool IsAltLetter(const QKeyEvent& key) {
  return (key.modifiers() & Qt::AltModifier) && !key.text().isEmpty() && key.text().at(0).isPrint();
}

// The menu of the bar whose caption marks the key's letter (Alt+E: "&Edit").
QAction* MenuWithMnemonic(const QMenuBar& menuBar, const QKeyEvent& key) {
  const QKeySequence pressed(QKeyCombination(Qt::AltModifier, Qt::Key(key.key())));
  for (QAction* menu : menuBar.actions()) {
    if (menu->isVisible() && menu->isEnabled() && QKeySequence::mnemonic(menu->text()).matches(pressed) == QKeySequence::ExactMatch) {
      return menu;
    }
  }
  return nullptr;
}

}  // namespace

QAction* MenuShortcutItem(const QMenuBar& menuBar, const QKeyEvent& key) {
  const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
  return ItemWithShortcut(menuBar.actions(), QKeySequence(QKeyCombination(modifiers, Qt::Key(key.key()))));
}

MenuKeyFilter::MenuKeyFilter(std::function<QMenuBar*()> menuBar, std::function<void()> beforeKey, QObject* parent)
    : QObject(parent), menuBar_(std::move(menuBar)), beforeKey_(std::move(beforeKey)) {}

bool MenuKeyFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress) {
    return QObject::eventFilter(watched, event);
  }
  const auto* key = static_cast<QKeyEvent*>(event);
  QMenuBar* menuBar = menuBar_();
  if (event->type() == QEvent::KeyPress && IsAltLetter(*key)) {
    if (QAction* menu = menuBar != nullptr ? MenuWithMnemonic(*menuBar, *key) : nullptr) menuBar->setActiveAction(menu);
    return true;
  }
  if (menuBar == nullptr) return false;
  QAction* item = MenuShortcutItem(*menuBar, *key);
  if (item == nullptr) return false;
  // ShortcutOverride: left unaccepted, the key goes on to the menu items' shortcuts,
  // which are looked up after this returns, with the enabled states set now.
  if (beforeKey_) beforeKey_();
  if (event->type() == QEvent::KeyPress && Runs(item)) item->trigger();
  return true;
}
