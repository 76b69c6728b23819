#pragma once
// The window beside an editor window that shows the Karnaugh map its Karnaugh Map
// command drew last (KarnaughPicture), with Print... and Close. Each new map of the
// command replaces the picture; a command that draws none (a message, a stop) closes
// the window, so that no map stays beside a text it does not belong to. The window
// belongs to its editor window and goes with it.

#include <QWidget>
#include <functional>
#include <memory>

#include "minimum/KarnaughMap.h"
#include "views/KarnaughPicture.h"

class QPrinter;
class QPushButton;
class QScrollArea;

class KarnaughMapWindow final : public QWidget {
  Q_OBJECT

 public:
  // printer gives the program's printer; pdfName the PDF file to offer without one.
  KarnaughMapWindow(QWidget* editor, std::function<QPrinter&()> printer, std::function<QString()> pdfName);
  ~KarnaughMapWindow() override;

  // Shows the map of the formula (titled after the editor window's caption), in front of
  // the editor window, which keeps the keyboard.
  void ShowMap(const lumenark::KarnaughMap& map, const QString& caption, const QString& formula);
  const KarnaughPicture* Picture() const { return picture_.get(); }
  QWidget* View() const { return view_; }
  QPushButton* PrintButton() const { return print_; }

 public slots:
  // The picture on the printer, a point for each pixel or smaller to fit the page's
  // width, over as many pages as its legend needs (PicturePages.h); the print job is
  // titled after the formula.
  void Print();

 private:
  std::function<QPrinter&()> printer_;
  std::function<QString()> pdfName_;
  std::unique_ptr<KarnaughPicture> picture_;
  QString formula_;
  QScrollArea* scroll_;
  QWidget* view_;
  QPushButton* print_;
};
