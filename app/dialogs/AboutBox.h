#pragma once
// The about box: a modeless window with the program's picture, name and purpose. OK
// and the close box hide it; it lives as long as the program. When it goes, the window
// that was active before it takes the keyboard again (KeyboardReturn.h).

#include <QDialog>

class QPushButton;

class TAboutBox final : public QDialog {
  Q_OBJECT

 public:
  TAboutBox();

  QPushButton* OKButton() const { return okButton_; }

 public slots:
  void OKButtonClick();  // hides the box

 private:
  QPushButton* okButton_;
};
