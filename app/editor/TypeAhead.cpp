#include "editor/TypeAhead.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

TypeAhead::TypeAhead(QWidget& text, std::function<bool()> commandRunning)
    : QObject(&text), text_(text), commandRunning_(std::move(commandRunning)) {
  text_.installEventFilter(this);
}

bool TypeAhead::Holds() const { return commandRunning_() || (!waiting_.empty() && !releasing_); }

void TypeAhead::Defer(std::function<void()> request) { waiting_.emplace_back(std::move(request)); }

void TypeAhead::CommandEnded() {
  if (!waiting_.empty()) QMetaObject::invokeMethod(this, &TypeAhead::Release, Qt::QueuedConnection);
}

bool TypeAhead::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if ((type != QEvent::ShortcutOverride && type != QEvent::KeyPress && type != QEvent::KeyRelease) || !Holds()) {
    return QObject::eventFilter(watched, event);
  }
  auto* key = static_cast<QKeyEvent*>(event);
  // Claimed by the text, the key runs no menu item now; it comes back as a key press.
  if (type == QEvent::ShortcutOverride) key->accept();
  if (type == QEvent::KeyPress) {
    waiting_.emplace_back(Key{key->key(), key->modifiers(), key->text(), key->isAutoRepeat(), static_cast<ushort>(key->count())});
  }
  return true;
}

// One at a time, in order. A key may start a command, which runs to its end inside
// this loop and may take more input meanwhile; or open a modal dialog, whose event
// loop may come back here, to find the input already being carried out. A window that
// has closed meanwhile drops what is left.
void TypeAhead::Release() {
  if (releasing_) return;
  releasing_ = true;
  while (!waiting_.empty() && !commandRunning_()) {
    if (!text_.window()->isVisible()) {
      waiting_.clear();
      break;
    }
    const Input input = std::move(waiting_.front());
    waiting_.pop_front();
    Deliver(input);
  }
  releasing_ = false;
}

void TypeAhead::Deliver(const Input& input) {
  if (const auto* request = std::get_if<std::function<void()>>(&input)) {
    (*request)();
    return;
  }
  const Key& key = std::get<Key>(input);
  QKeyEvent press(QEvent::KeyPress, key.key, key.modifiers, key.text, key.autoRepeat, key.count);
  QCoreApplication::sendEvent(&text_, &press);
  QKeyEvent release(QEvent::KeyRelease, key.key, key.modifiers, key.text, key.autoRepeat, key.count);
  QCoreApplication::sendEvent(&text_, &release);
}
