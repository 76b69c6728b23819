#include "editor/OptionsPanel.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "editor/RadioGroupKeys.h"
#include "formula/FormulaDocument.h"
#include "text/LineLengthText.h"
#include "text/PixelFont.h"

namespace {

constexpr const char* kDetailCaptions[] = {
    "Comment + evaluations", "Step by step + comment", "Step by step only", "Macrosteps", "Nothing",
};

QLabel* AddLabel(QWidget* parent, const char* name, const char* text, QPoint at) {
  auto* label = new QLabel(QString::fromLatin1(text), parent);
  label->setObjectName(QString::fromLatin1(name));
  label->move(at);
  label->adjustSize();
  return label;
}

}  // namespace

OptionsPanel::OptionsPanel(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("Panel1"));
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Window);
  setGeometry(0, 0, 217, 193);

  radioGroup1_ = new QGroupBox(QStringLiteral("Details"), this);
  radioGroup1_->setObjectName(QStringLiteral("RadioGroup1"));
  radioGroup1_->setGeometry(0, 0, 217, 105);
  details_ = new QButtonGroup(radioGroup1_);
  auto* items = new QVBoxLayout(radioGroup1_);
  items->setContentsMargins(8, 0, 4, 2);
  items->setSpacing(0);
  for (int i = 0; i < 5; ++i) {
    auto* item = new QRadioButton(QString::fromLatin1(kDetailCaptions[i]), radioGroup1_);
    details_->addButton(item, i);
    items->addWidget(item);
  }

  checkBox1_ = new QCheckBox(QStringLiteral("Results"), this);
  checkBox1_->setObjectName(QStringLiteral("CheckBox1"));
  checkBox1_->setGeometry(8, 108, 97, 17);

  AddLabel(this, "Label1", "String length opt.:", QPoint(8, 136));
  QLabel* range = AddLabel(this, "Label2", "(21-250)", QPoint(160, 136));
  // The font that stands in for the design's is wider: the range keeps off the frame.
  range->setFont(FitToWidth(range->font(), range->text(), contentsRect().right() - 2 - range->x()));
  range->adjustSize();

  edit2_ = new QLineEdit(QStringLiteral("79"), this);
  edit2_->setObjectName(QStringLiteral("Edit2"));
  edit2_->setGeometry(128, 132, 33, 22);
  edit2_->raise();  // over the label that starts under its right edge

  bitBtn1_ = new QPushButton(QStringLiteral("OK"), this);
  bitBtn1_->setObjectName(QStringLiteral("BitBtn1"));
  bitBtn1_->setGeometry(64, 160, 89, 33);

  new RadioGroupKeys(*details_);
  QWidget::setTabOrder(details_->button(4), checkBox1_);
  QWidget::setTabOrder(checkBox1_, bitBtn1_);
  QWidget::setTabOrder(bitBtn1_, edit2_);
  hide();
}

int OptionsPanel::ChosenDetail() const { return details_->checkedId(); }

void OptionsPanel::FocusChosenDetail() {
  if (QAbstractButton* chosen = details_->checkedButton()) chosen->setFocus(Qt::TabFocusReason);
}

void OptionsPanel::ChooseDetail(int index) {
  if (QAbstractButton* item = details_->button(index)) item->setChecked(true);
}

void OptionsPanel::Load(const lumenark::FormulaDocument& doc) {
  edit2_->setText(QString::number(doc.LineWidth));
  checkBox1_->setChecked(doc.ShowResults);
  ChooseDetail(doc.DetailLevel);
}

bool OptionsPanel::Store(lumenark::FormulaDocument& doc) const {
  const std::int64_t lineWidth = ReadLineLength(edit2_->text());
  doc.ShowResults = checkBox1_->isChecked();
  if (ChosenDetail() >= 0) doc.DetailLevel = static_cast<std::uint16_t>(ChosenDetail());
  const bool inRange = lineWidth >= kMinLineWidth && lineWidth <= kMaxLineWidth;
  doc.LineWidth = inRange ? static_cast<std::int32_t>(lineWidth) : kDefaultLineWidth;
  return inRange;
}
