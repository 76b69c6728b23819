#pragma once
// Edit > Find... and Replace... of an editor window: a non-modal dialog beside the
// window. It searches the window's text for a text (with or without regard to case,
// anywhere or as a whole word), forward from the caret and round the end, and can
// replace the occurrence found or every occurrence. The window keeps its keys: the
// text can be typed into while the dialog is open, and F3 (Find Next) repeats the
// last search from the text. What the dialog cannot do it says on its status line,
// never in a box. Alt and a letter work the dialog's own controls (DialogAltKeys), and
// Enter is Find Next whenever the dialog opens.

#include <QDialog>

#include "text/TextSearch.h"

class MemoControl;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class FindReplaceDialog final : public QDialog {
  Q_OBJECT

 public:
  FindReplaceDialog(MemoControl& memo, QWidget* parent);

  void ShowFind();     // the dialog without its replace part
  void ShowReplace();  // the dialog with it
  // F3: the last search again, or the dialog when there was none.
  void FindNextAgain();

  QLineEdit* FindText() const { return findText_; }
  QLineEdit* ReplaceText() const { return replaceText_; }
  QCheckBox* MatchCase() const { return matchCase_; }
  QCheckBox* WholeWords() const { return wholeWords_; }
  QLabel* Status() const { return status_; }

 public slots:
  void FindNextClick();
  void ReplaceClick();
  void ReplaceAllClick();

 private:
  void Open(bool replacing);
  TextSearch Search() const;
  bool TextCanChange();

  MemoControl& memo_;
  TextSearch last_;
  QLineEdit* findText_;
  QLineEdit* replaceText_;
  QLabel* replaceLabel_;
  QCheckBox* matchCase_;
  QCheckBox* wholeWords_;
  QPushButton* findNext_;
  QPushButton* replace_;
  QPushButton* replaceAll_;
  QLabel* status_;
};
