#include "HelpWindow.h"

#include <QFile>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {
constexpr char kManualMissingPage[] = ":/help/ManualMissing.html";
}

QString ManualContentsPage(const QString& helpFile) {
  QString name = helpFile.mid(helpFile.lastIndexOf(QRegularExpression(QStringLiteral("[\\\\/:]"))) + 1);
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  if (dot >= 0) name.truncate(dot);
  return QStringLiteral(":/help/%1/contents.html").arg(name.toLower());
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("HelpWindow"));
  setWindowTitle(QStringLiteral("Lumenark for Windows 95 Help"));
  browser_ = new QTextBrowser(this);
  browser_->setObjectName(QStringLiteral("HelpBrowser"));
  browser_->setOpenExternalLinks(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(browser_);
  resize(560, 480);
}

void HelpWindow::ShowContents(const QString& helpFile) {
  const QString contents = ManualContentsPage(helpFile);
  const QString page = QFile::exists(contents) ? contents : QString::fromLatin1(kManualMissingPage);
  browser_->setSource(QUrl(QStringLiteral("qrc") + page));
  show();
  raise();
  activateWindow();
}
