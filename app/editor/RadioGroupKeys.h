#pragma once
// The keys of a radio group, as users know them from every other program: the arrow
// keys choose the next or the previous item (round the ends), not only move the focus,
// and Tab and Shift+Tab enter the group at its chosen item.

#include <QObject>

class QButtonGroup;

class RadioGroupKeys final : public QObject {
 public:
  // Watches the buttons of group, which must all be in it already.
  explicit RadioGroupKeys(QButtonGroup& group);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Choose(int index);

  QButtonGroup& group_;
};
