#pragma once
// The help viewer: the program's manual, compiled into the program as HTML, opened at
// its contents page. The manual of a help file is looked up by the file's base name:
// for "tarvelo.hlp" its contents page is the resource ":/help/tarvelo/contents.html".
// A help file without a manual in the program shows a page that says so. Buttons lead
// back to the contents and back and forth along the pages read.

#include <QString>
#include <QUrl>
#include <QWidget>

class QTextBrowser;

// The resource path of the contents page of a help file's manual.
QString ManualContentsPage(const QString& helpFile);

class HelpWindow final : public QWidget {
 public:
  explicit HelpWindow(QWidget* parent);

  // Shows the contents page of the help file's manual and brings the window forward.
  void ShowContents(const QString& helpFile);
  QTextBrowser* Browser() const { return browser_; }

 private:
  QTextBrowser* browser_;
  QUrl contents_;  // of the manual shown
};
