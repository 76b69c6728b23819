#include "dialogs/FindReplaceDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QVBoxLayout>

#include "dialogs/DialogAltKeys.h"
#include "editor/MemoControl.h"
#include "text/Latin1Text.h"

FindReplaceDialog::FindReplaceDialog(MemoControl& memo, QWidget* parent)
    : QDialog(parent, Qt::Tool), memo_(memo) {
  setObjectName(QStringLiteral("FindReplaceDialog"));
  setModal(false);
  findText_ = new QLineEdit(this);
  findText_->setObjectName(QStringLiteral("FindText"));
  replaceText_ = new QLineEdit(this);
  replaceText_->setObjectName(QStringLiteral("ReplaceText"));
  auto* findLabel = new QLabel(QStringLiteral("Fi&nd what:"), this);
  findLabel->setBuddy(findText_);
  replaceLabel_ = new QLabel(QStringLiteral("Re&place with:"), this);
  replaceLabel_->setBuddy(replaceText_);
  matchCase_ = new QCheckBox(QStringLiteral("Match &case"), this);
  wholeWords_ = new QCheckBox(QStringLiteral("&Whole words only"), this);
  findNext_ = new QPushButton(QStringLiteral("&Find Next"), this);
  replace_ = new QPushButton(QStringLiteral("&Replace"), this);
  replaceAll_ = new QPushButton(QStringLiteral("Replace &All"), this);
  auto* close = new QPushButton(QStringLiteral("Close"), this);
  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("FindStatus"));
  findNext_->setDefault(true);

  auto* grid = new QGridLayout(this);
  grid->addWidget(findLabel, 0, 0);
  grid->addWidget(findText_, 0, 1);
  grid->addWidget(findNext_, 0, 2);
  grid->addWidget(replaceLabel_, 1, 0);
  grid->addWidget(replaceText_, 1, 1);
  grid->addWidget(replace_, 1, 2);
  grid->addWidget(matchCase_, 2, 0, 1, 2);
  grid->addWidget(replaceAll_, 2, 2);
  grid->addWidget(wholeWords_, 3, 0, 1, 2);
  grid->addWidget(close, 3, 2);
  grid->addWidget(status_, 4, 0, 1, 3);

  connect(findNext_, &QPushButton::clicked, this, &FindReplaceDialog::FindNextClick);
  connect(replace_, &QPushButton::clicked, this, &FindReplaceDialog::ReplaceClick);
  connect(replaceAll_, &QPushButton::clicked, this, &FindReplaceDialog::ReplaceAllClick);
  connect(close, &QPushButton::clicked, this, &QDialog::hide);
  new DialogAltKeys(*this);  // Alt+C is Match case here, not the frame's Character menu
}

void FindReplaceDialog::ShowFind() { Open(false); }

void FindReplaceDialog::ShowReplace() { Open(true); }

// A selection of one line is what the user most likely looks for.
void FindReplaceDialog::Open(bool replacing) {
  const QString selected = memo_.textCursor().selectedText();
  if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator)) findText_->setText(selected);
  for (QWidget* part : {static_cast<QWidget*>(replaceLabel_), static_cast<QWidget*>(replaceText_),
                        static_cast<QWidget*>(replace_), static_cast<QWidget*>(replaceAll_)}) {
    part->setVisible(replacing);
  }
  setWindowTitle(replacing ? QStringLiteral("Replace") : QStringLiteral("Find"));
  status_->clear();
  adjustSize();
  show();
  raise();
  activateWindow();
  findText_->setFocus();
  findText_->selectAll();
  // A button clicked last time (Close) kept the focus while hidden, and with it the
  // default; Enter searches again.
  findNext_->setDefault(true);
}

TextSearch FindReplaceDialog::Search() const {
  return TextSearch{findText_->text(), matchCase_->isChecked(), wholeWords_->isChecked()};
}

void FindReplaceDialog::FindNextClick() {
  last_ = Search();
  status_->setText(FindNext(memo_, last_) ? QString() : QStringLiteral("Cannot find \"%1\".").arg(last_.text));
}

void FindReplaceDialog::FindNextAgain() {
  if (last_.text.isEmpty()) {
    ShowFind();
    return;
  }
  status_->setText(FindNext(memo_, last_) ? QString() : QStringLiteral("Cannot find \"%1\".").arg(last_.text));
}

bool FindReplaceDialog::TextCanChange() {
  if (!memo_.isReadOnly()) return true;
  status_->setText(QStringLiteral("The text cannot change while a command runs."));
  return false;
}

// The occurrence that is selected is replaced, and the next one is selected.
void FindReplaceDialog::ReplaceClick() {
  last_ = Search();
  if (!TextCanChange()) return;
  if (SelectionMatches(memo_, last_)) {
    const QString replacement = Latin1Input(replaceText_->text());
    const std::size_t bytes = DocumentSize(*memo_.document()) + replacement.size() - last_.text.size();
    if (!memo_.Capacity().Holds(bytes, static_cast<std::size_t>(memo_.document()->blockCount()))) {
      status_->setText(QStringLiteral("Text exceeds memo capacity."));
      return;
    }
    memo_.textCursor().insertText(replacement);
  }
  FindNextClick();
}

void FindReplaceDialog::ReplaceAllClick() {
  last_ = Search();
  if (!TextCanChange()) return;
  const QString replacement = Latin1Input(replaceText_->text());
  const auto count = static_cast<qsizetype>(CountOccurrences(*memo_.document(), last_));
  const auto size = static_cast<qsizetype>(DocumentSize(*memo_.document()));
  const qsizetype bytes = size + count * (replacement.size() - last_.text.size());
  if (!memo_.Capacity().Holds(static_cast<std::size_t>(bytes), static_cast<std::size_t>(memo_.document()->blockCount()))) {
    status_->setText(QStringLiteral("Text exceeds memo capacity."));
    return;
  }
  const int replaced = ReplaceAll(memo_, last_, replacement);
  status_->setText(replaced == 0 ? QStringLiteral("Cannot find \"%1\".").arg(last_.text)
                                 : QStringLiteral("%1 replaced.").arg(replaced));
}
