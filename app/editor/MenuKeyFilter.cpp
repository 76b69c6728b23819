#include "editor/MenuKeyFilter.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

namespace {

bool HasShortcut(const QList<QAction*>& actions, const QKeySequence& key) {
  for (const QAction* action : actions) {
    if (action->menu() != nullptr && HasShortcut(action->menu()->actions(), key)) return true;
    for (const QKeySequence& shortcut : action->shortcuts()) {
      if (shortcut.matches(key) == QKeySequence::ExactMatch) return true;
    }
  }
  return false;
}

}  // namespace

bool IsMenuShortcut(const QMenuBar& menuBar, const QKeyEvent& key) {
  const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
  return HasShortcut(menuBar.actions(), QKeySequence(QKeyCombination(modifiers, Qt::Key(key.key()))));
}

MenuKeyFilter::MenuKeyFilter(std::function<QMenuBar*()> menuBar, std::function<void()> beforeKey, QObject* parent)
    : QObject(parent), menuBar_(std::move(menuBar)), beforeKey_(std::move(beforeKey)) {}

bool MenuKeyFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress) {
    return QObject::eventFilter(watched, event);
  }
  const auto* key = static_cast<QKeyEvent*>(event);
  // Alt and a letter that no menu took: the text control would type the letter over
  // the selection; it is nobody's key.
  if (event->type() == QEvent::KeyPress && (key->modifiers() & Qt::AltModifier) && !key->text().isEmpty() &&
      key->text().at(0).isPrint()) {
    return true;
  }
  const QMenuBar* menuBar = menuBar_();
  if (menuBar == nullptr || !IsMenuShortcut(*menuBar, *key)) return false;
  // ShortcutOverride: left unaccepted, the key goes on to the menu items' shortcuts,
  // which are looked up after this returns, with the enabled states set now.
  if (event->type() == QEvent::ShortcutOverride && beforeKey_) beforeKey_();
  // KeyPress: it only comes when no enabled item took the key; nobody else gets it.
  return true;
}
