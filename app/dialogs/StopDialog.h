#pragma once
// The stop dialog Form2: a window that stays above all others while a long formula
// command runs, with one Stop button that asks the computation to stop. It is shown
// and hidden only by the commands; the user cannot close it.

#include <QScrollArea>

class QLabel;
class QPushButton;

class TForm2 final : public QScrollArea {
  Q_OBJECT

 public:
  TForm2();

  QPushButton* Button1() const { return button1_; }
  QLabel* Label1() const { return label1_; }

 public slots:
  void Button1Click();  // StopRequested := true (while shown); the dialog stays visible

 protected:
  void closeEvent(QCloseEvent* event) override;  // FormCloseQuery: never closes
  void keyPressEvent(QKeyEvent* event) override;  // Escape presses Stop

 private:
  QLabel* label1_;
  QPushButton* button1_;
};
