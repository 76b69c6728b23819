#include "frame/KeyboardReturn.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <algorithm>

namespace {

// Windows that never hold the keyboard for long: menus, tool tips, splash screens.
bool IsOwnWindow(const QWidget& widget) {
  if (!widget.isWindow()) return false;
  const Qt::WindowType type = widget.windowType();
  return type != Qt::Popup && type != Qt::ToolTip && type != Qt::SplashScreen && type != Qt::Desktop;
}

}  // namespace

KeyboardReturn::KeyboardReturn(QWidget& frame) : frame_(&frame) { qApp->installEventFilter(this); }

KeyboardReturn::~KeyboardReturn() { qApp->removeEventFilter(this); }

bool KeyboardReturn::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if ((type == QEvent::Hide || type == QEvent::WindowActivate) && watched->isWidgetType()) {
    auto& widget = static_cast<QWidget&>(*watched);
    if (IsOwnWindow(widget)) {
      // Hide: the window that became active last is the one that has the keyboard (the
      // program forgets which window is active as it hides it).
      if (type == QEvent::Hide && !activeOrder_.empty() && activeOrder_.back() == &widget) HandBack(widget);
      if (type == QEvent::WindowActivate) {
        if (widget.isVisible()) Activated(widget);
        else HandBackLater(widget);
      }
    }
  }
  return QObject::eventFilter(watched, event);
}

void KeyboardReturn::Activated(QWidget& window) {
  std::erase_if(activeOrder_, [&window](const QPointer<QWidget>& seen) { return seen.isNull() || seen == &window; });
  activeOrder_.emplace_back(&window);
}

// Other activations may still be on their way behind this one (a window shown just
// now): only if none of them made another window active does the keyboard go back.
void KeyboardReturn::HandBackLater(const QWidget& hidden) {
  QMetaObject::invokeMethod(
      this,
      [this, window = QPointer<const QWidget>(&hidden)] {
        const QWidget* active = QApplication::activeWindow();
        if (window != nullptr && (active == nullptr || active == window || !active->isVisible())) HandBack(*window);
      },
      Qt::QueuedConnection);
}

void KeyboardReturn::HandBack(const QWidget& hidden) {
  QWidget* before = nullptr;
  for (auto seen = activeOrder_.rbegin(); seen != activeOrder_.rend() && before == nullptr; ++seen) {
    if (!seen->isNull() && *seen != &hidden && (*seen)->isVisible()) before = seen->data();
  }
  if (before == nullptr && frame_ != nullptr && frame_ != &hidden && frame_->isVisible()) before = frame_.data();
  if (before != nullptr) before->activateWindow();
}
