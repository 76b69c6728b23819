#include "dialogs/AboutBox.h"

#include <QApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include "Version.h"
#include "frame/ProgramPicture.h"
#include "text/PixelFont.h"

namespace {

// The space kept between a label and the right edge of the panel.
constexpr int kRightMargin = 8;

// A label at a place in the panel, in the font given or, where the text would run into
// the panel's right edge with it (the fonts that stand in for the design's are wider),
// in the largest smaller size that fits.
QLabel* AddLabel(QWidget* parent, const char* name, const QString& text, QPoint at, const QFont& font) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setFont(FitToWidth(font, text, parent->width() - at.x() - kRightMargin));
  QPalette colours = label->palette();
  colours.setColor(QPalette::WindowText, Qt::black);
  label->setPalette(colours);
  label->move(at);
  label->adjustSize();
  return label;
}

// The check-mark glyph of the standard OK button.
QIcon CheckMark() {
  QPixmap glyph(16, 16);
  glyph.fill(Qt::transparent);
  QPainter painter(&glyph);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(0, 128, 0), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.drawPolyline(QPolygonF({QPointF(3, 8.5), QPointF(6.5, 12), QPointF(13, 4)}));
  return QIcon(glyph);
}

}  // namespace

TAboutBox::TAboutBox() {
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(QStringLiteral("About"));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  setModal(false);
  setFixedSize(298, 213);
  setFont(PixelFont(QStringLiteral("System"), 13, false));

  auto* panel = new QFrame(this);
  panel->setObjectName(QStringLiteral("Panel1"));
  panel->setGeometry(8, 8, 281, 161);
  panel->setFrameStyle(QFrame::Box | QFrame::Sunken);  // lowered outside, raised inside

  auto* icon = new QLabel(panel);
  icon->setObjectName(QStringLiteral("ProgramIcon"));
  icon->setGeometry(8, 8, 65, 57);
  icon->setScaledContents(true);
  icon->setPixmap(ProgramPicture());

  const QFont small = PixelFont(QStringLiteral("MS Sans Serif"), 11, true);
  const QFont large = PixelFont(QStringLiteral("Times New Roman CE"), 16, true);
  AddLabel(panel, "ProductName", QStringLiteral("Product name:"), QPoint(88, 16), small);
  AddLabel(panel, "Label1", QStringLiteral("Lumenark for Windows 95"), QPoint(96, 40), large);
  QLabel* comments = AddLabel(panel, "Comments", QStringLiteral("Comments"), QPoint(8, 104), small);
  comments->setWordWrap(true);
  AddLabel(panel, "Label3", QStringLiteral("-Propositional logic evaluations."), QPoint(12, 120), large);
  // The version, below the texts of the design and in the small font.
  AddLabel(panel, "VersionLabel", QStringLiteral("Version %1").arg(QLatin1String(kLumenarkVersion)), QPoint(12, 143),
           small);

  okButton_ = new QPushButton(CheckMark(), QStringLiteral("OK"), this);
  okButton_->setObjectName(QStringLiteral("OKButton"));
  okButton_->setGeometry(111, 178, 77, 27);
  okButton_->setFont(small);
  okButton_->setDefault(true);
  okButton_->setFocus();
  connect(okButton_, &QPushButton::clicked, this, &TAboutBox::OKButtonClick);

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
}

void TAboutBox::OKButtonClick() { hide(); }
