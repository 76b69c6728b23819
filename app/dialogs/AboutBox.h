#pragma once
// The about box: a modeless window with the program's picture, name and purpose. OK
// and the close box hide it; it lives as long as the program. When it goes, the window
// that was active before it is made active again: without a window manager nothing
// else would, and the keys would reach the text but no shortcut of the menu bar.

#include <QDialog>
#include <QPointer>

class QPushButton;

class TAboutBox final : public QDialog {
  Q_OBJECT

 public:
  TAboutBox();

  QPushButton* OKButton() const { return okButton_; }

 public slots:
  void OKButtonClick();  // hides the box

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  QPushButton* okButton_;
  QPointer<QWidget> activeBefore_;  // the window to hand the keys back to
};
