#include "dialogs/DialogAltKeys.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>

namespace {

bool Marks(const QString& caption, const QKeyEvent& key) {
  return QKeySequence::mnemonic(caption).matches(QKeySequence(QKeyCombination(Qt::AltModifier, Qt::Key(key.key())))) ==
         QKeySequence::ExactMatch;
}

bool Usable(const QWidget& control) { return control.isVisible() && control.isEnabled(); }

}  // namespace

DialogAltKeys::DialogAltKeys(QWidget& dialog) : QObject(&dialog), dialog_(dialog) {
  dialog.installEventFilter(this);
  for (QWidget* control : dialog.findChildren<QWidget*>()) control->installEventFilter(this);
}

bool DialogAltKeys::IsAltLetter(const QKeyEvent& key) {
  const Qt::KeyboardModifiers modifiers = key.modifiers();
  const int code = key.key();
  return (modifiers & Qt::AltModifier) && !(modifiers & Qt::ControlModifier) &&
         ((code >= Qt::Key_A && code <= Qt::Key_Z) || (code >= Qt::Key_0 && code <= Qt::Key_9));
}

bool DialogAltKeys::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress) {
    return QObject::eventFilter(watched, event);
  }
  auto* key = static_cast<QKeyEvent*>(event);
  if (!IsAltLetter(*key)) return false;
  // ShortcutOverride, accepted: no shortcut of any window takes the key, which comes
  // back as a KeyPress to the control with the focus, and stops here.
  if (event->type() == QEvent::ShortcutOverride) {
    event->accept();
    return true;
  }
  if (key->modifiers() == Qt::AltModifier) RunMnemonic(*key);
  return true;
}

bool DialogAltKeys::RunMnemonic(const QKeyEvent& key) {
  for (QAbstractButton* button : dialog_.findChildren<QAbstractButton*>()) {
    if (Usable(*button) && Marks(button->text(), key)) {
      button->setFocus(Qt::ShortcutFocusReason);
      button->click();
      return true;
    }
  }
  for (QLabel* label : dialog_.findChildren<QLabel*>()) {
    if (Usable(*label) && label->buddy() != nullptr && Usable(*label->buddy()) && Marks(label->text(), key)) {
      label->buddy()->setFocus(Qt::ShortcutFocusReason);
      return true;
    }
  }
  return false;
}
