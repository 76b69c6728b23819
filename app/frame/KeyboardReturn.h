#pragma once
// The keyboard goes back to the window that had it before, when the window that has it
// now closes. A window manager does this; without one (a kiosk, a bare X session, a
// virtual display) no window of the program would be active after a dialog closed,
// and the menu keys of the editor windows would do nothing until the user clicked into
// one. Watching the whole program, this hands the keyboard back whenever a window of
// it hides while it is the active one (the Find dialog closed by Escape or Close, the
// about box, help, the Karnaugh map's window, the stop dialog, a message box), and
// when the window system makes a window active that has already hidden (an activation
// that was still on its way when the window closed). It goes to the window that was
// active last among those still shown, or else to the frame.

#include <QObject>
#include <QPointer>
#include <vector>

class QWidget;

class KeyboardReturn final : public QObject {
 public:
  // Watches every window of the application from now on, until destroyed (before the
  // frame's windows go); frame is the window that takes the keyboard when no other
  // that was active is still shown.
  explicit KeyboardReturn(QWidget& frame);
  ~KeyboardReturn() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Activated(QWidget& window);
  void HandBack(const QWidget& hidden);
  void HandBackLater(const QWidget& hidden);

  QPointer<QWidget> frame_;
  std::vector<QPointer<QWidget>> activeOrder_;  // the windows as they became active, the latest last
};
