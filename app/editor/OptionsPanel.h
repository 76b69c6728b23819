#pragma once
// The output options panel Panel1 of an editor window: the Details radio group, the
// Results check box and the line length, over the top-left corner of the text. It
// shows a document's values and gives them back; the window decides when (on entering
// the panel, and on OK).

#include <QFrame>
#include <cstdint>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace lumenark {
class FormulaDocument;
}

// The line length used when the typed one is out of range, and the range.
inline constexpr std::int32_t kDefaultLineWidth = 79;
inline constexpr std::int32_t kMinLineWidth = 21;
inline constexpr std::int32_t kMaxLineWidth = 250;
inline constexpr char kLineRangeMessage[] = "Current line range between 21 and 250.\r\nDefault value 79 is used.";

class OptionsPanel final : public QFrame {
 public:
  explicit OptionsPanel(QWidget* parent);

  // The controls take the document's values (Panel1Enter).
  void Load(const lumenark::FormulaDocument& doc);
  // The document takes the controls' values; false when the line length was out of
  // range and the default was stored instead (BitBtn1Click).
  bool Store(lumenark::FormulaDocument& doc) const;

  QGroupBox* RadioGroup1() const { return radioGroup1_; }
  // Moves the focus from the panel to the chosen Details item, where the arrow keys
  // choose another.
  void FocusChosenDetail();
  QCheckBox* CheckBox1() const { return checkBox1_; }
  QLineEdit* Edit2() const { return edit2_; }
  QPushButton* BitBtn1() const { return bitBtn1_; }
  int ChosenDetail() const;
  void ChooseDetail(int index);

 private:
  QGroupBox* radioGroup1_;
  QButtonGroup* details_;
  QCheckBox* checkBox1_;
  QLineEdit* edit2_;
  QPushButton* bitBtn1_;
};
