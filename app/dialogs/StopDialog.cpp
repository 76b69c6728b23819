#include "dialogs/StopDialog.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "frame/ProgramPicture.h"
#include "runtime/EngineGlobals.h"
#include "text/PixelFont.h"

// The label is wider than the window; the content then scrolls sideways, unless the
// user widens the window.
TForm2::TForm2() {
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(QStringLiteral("Form2"));
  setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint);
  // Shown by a command, the dialog leaves the keyboard with the editor window.
  setAttribute(Qt::WA_ShowWithoutActivating);
  setWindowIcon(QIcon(ProgramPicture()));
  setFont(PixelFont(QStringLiteral("MS Sans Serif"), 11));
  setFrameShape(QFrame::NoFrame);
  setWidgetResizable(true);

  auto* content = new QWidget;
  label1_ = new QLabel(QStringLiteral("Click on button to stop calculations."), content);
  label1_->setObjectName(QStringLiteral("Label1"));
  label1_->setGeometry(4, 2, 292, 24);
  label1_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  label1_->setFont(FitToWidth(PixelFont(QStringLiteral("MS Sans Serif"), 19), label1_->text(), 292 - 4));
  label1_->setAutoFillBackground(true);
  QPalette labelColours = label1_->palette();
  labelColours.setColor(QPalette::Window, QColor(0, 0, 255));
  labelColours.setColor(QPalette::WindowText, Qt::black);
  label1_->setPalette(labelColours);

  button1_ = new QPushButton(QStringLiteral("Stop"), content);
  button1_->setObjectName(QStringLiteral("Button1"));
  button1_->setGeometry(55, 70, 75, 25);
  button1_->setFont(PixelFont(QStringLiteral("Century Schoolbook CE"), 16, true));
  QPalette buttonColours = button1_->palette();
  buttonColours.setColor(QPalette::ButtonText, Qt::black);
  button1_->setPalette(buttonColours);
  connect(button1_, &QPushButton::clicked, this, &TForm2::Button1Click);

  content->setMinimumSize(label1_->geometry().right() + 1, button1_->geometry().bottom() + 1);
  setWidget(content);
  button1_->setFocus();

  move(200, 108);
  resize(201, 139);
}

// A click that reaches the dialog only after the command has ended and hidden it
// would leave a request behind that stops the next command at once; it is dropped.
void TForm2::Button1Click() {
  if (isVisible()) lumenark::StopRequested = true;
}

void TForm2::closeEvent(QCloseEvent* event) { event->ignore(); }

// Escape is the key of a dialog's cancelling button, and Stop is this one's; it comes
// here wherever the focus stands in the dialog, as no other part of it takes the key.
void TForm2::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    button1_->click();
    return;
  }
  QScrollArea::keyPressEvent(event);
}
