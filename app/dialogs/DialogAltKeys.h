#pragma once
// Alt and a letter in a non-modal tool dialog beside an editor window. Such a window
// shares the shortcuts of the window below it, so the frame's menu mnemonics (Alt+C
// Character, Alt+W Window, Alt+F File) would win over the dialog's own captions and
// open a menu of the frame. Installed on the dialog and each of its controls, this
// filter keeps Alt with a letter or digit inside the dialog: where the caption of a
// shown, enabled control marks that letter, the control acts as its mnemonic would (a
// check box or button is clicked and takes the focus, a label gives its buddy the
// focus); any other such key does nothing, and never types its letter.

#include <QObject>

class QKeyEvent;
class QWidget;

class DialogAltKeys final : public QObject {
 public:
  // Filters the dialog's keys from now on; owned by the dialog. Controls added later
  // are not covered.
  explicit DialogAltKeys(QWidget& dialog);

  // Whether the key is Alt (without Ctrl) and a letter or digit.
  static bool IsAltLetter(const QKeyEvent& key);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Runs the control whose caption marks the key's letter; false when there is none.
  bool RunMnemonic(const QKeyEvent& key);

  QWidget& dialog_;
};
