#include "dialogs/HelpWindow.h"

#include <QFile>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {

constexpr char kManualMissingPage[] = ":/help/ManualMissing.html";

QPushButton* AddButton(QHBoxLayout* row, const char* name, const QString& caption) {
  auto* button = new QPushButton(caption);
  button->setObjectName(QString::fromLatin1(name));
  button->setAutoDefault(false);
  row->addWidget(button);
  return button;
}

}  // namespace

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

  // The buttons of a help viewer: the contents page, and back and forth along the
  // pages read.
  auto* buttons = new QHBoxLayout;
  buttons->setContentsMargins(4, 4, 4, 4);
  auto* contents = AddButton(buttons, "HelpContents", QStringLiteral("&Contents"));
  auto* back = AddButton(buttons, "HelpBack", QStringLiteral("&Back"));
  auto* forward = AddButton(buttons, "HelpForward", QStringLiteral("&Forward"));
  buttons->addStretch();
  connect(contents, &QPushButton::clicked, this, [this] { browser_->setSource(contents_); });
  connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
  connect(forward, &QPushButton::clicked, browser_, &QTextBrowser::forward);
  connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
  back->setEnabled(false);
  forward->setEnabled(false);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addLayout(buttons);
  layout->addWidget(browser_);
  resize(560, 480);
}

void HelpWindow::ShowContents(const QString& helpFile) {
  const QString contents = ManualContentsPage(helpFile);
  const QString page = QFile::exists(contents) ? contents : QString::fromLatin1(kManualMissingPage);
  contents_ = QUrl(QStringLiteral("qrc") + page);
  browser_->setSource(contents_);
  show();
  raise();
  activateWindow();
}
