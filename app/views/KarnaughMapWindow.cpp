#include "views/KarnaughMapWindow.h"

#include <QFontInfo>
#include <QHBoxLayout>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>

#include "dialogs/ErrorReport.h"
#include "dialogs/UserDialogs.h"
#include "printing/PrintJob.h"
#include "views/PicturePages.h"

namespace {

// The picture, on white, at its own size.
class PictureView final : public QWidget {
 public:
  explicit PictureView(const std::unique_ptr<KarnaughPicture>& picture) : picture_(picture) {
    setObjectName(QStringLiteral("KarnaughView"));
    setAutoFillBackground(false);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (picture_) picture_->Paint(painter);
  }

 private:
  const std::unique_ptr<KarnaughPicture>& picture_;
};

}  // namespace

KarnaughMapWindow::KarnaughMapWindow(QWidget* editor, std::function<QPrinter&()> printer, std::function<QString()> pdfName)
    : QWidget(editor, Qt::Tool), printer_(std::move(printer)), pdfName_(std::move(pdfName)) {
  setObjectName(QStringLiteral("KarnaughMapWindow"));
  auto* layout = new QVBoxLayout(this);
  scroll_ = new QScrollArea(this);
  view_ = new PictureView(picture_);
  scroll_->setWidget(view_);
  scroll_->setWidgetResizable(false);
  scroll_->setAlignment(Qt::AlignCenter);
  layout->addWidget(scroll_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  print_ = new QPushButton(QStringLiteral("&Print..."), this);
  print_->setObjectName(QStringLiteral("KarnaughPrint"));
  auto* close = new QPushButton(QStringLiteral("Close"), this);
  close->setObjectName(QStringLiteral("KarnaughClose"));
  buttons->addWidget(print_);
  buttons->addWidget(close);
  layout->addLayout(buttons);
  connect(print_, &QPushButton::clicked, this, &KarnaughMapWindow::Print);
  connect(close, &QPushButton::clicked, this, &QWidget::close);
}

KarnaughMapWindow::~KarnaughMapWindow() = default;

void KarnaughMapWindow::ShowMap(const lumenark::KarnaughMap& map, const QString& caption, const QString& formula) {
  // A font in pixels, so that the picture keeps its proportions on a printer's device.
  QFont pixels = font();
  pixels.setPixelSize(QFontInfo(font()).pixelSize());
  formula_ = formula;
  picture_ = std::make_unique<KarnaughPicture>(map, pixels, formula);
  view_->setFixedSize(picture_->Size().toSize() + QSize(1, 1));
  view_->update();
  setWindowTitle(QStringLiteral("Karnaugh Map - ") + caption);
  // As large as the picture, within the screen.
  const QSize wanted = view_->size() + QSize(40, 80);
  resize(wanted.boundedTo(QSize(1000, 800)));
  // The keyboard stays with the editor window.
  show();
  raise();
}

void KarnaughMapWindow::Print() {
  if (!picture_) return;
  QPrinter& printer = printer_();
  const PdfForOnePrint pdf(printer, pdfName_());
  for (int pass = 0; pass < 2; ++pass) {
    const QString problem = PrinterProblem(printer);
    if (!problem.isEmpty()) {
      ShowErrorReport(this, problem);
      return;
    }
    if (pass == 0 && !Dialogs().print(this, printer)) return;
  }
  // The title of a PDF file, and of the job in a printer's queue.
  constexpr qsizetype kLongestTitle = 200;
  const QString title = QStringLiteral("Karnaugh map of ") + formula_;
  printer.setDocName(title.size() > kLongestTitle ? title.left(kLongestTitle) + QStringLiteral("...") : title);
  QPainter painter;
  if (!painter.begin(&printer)) {
    ShowErrorReport(this, QString::fromLatin1(kPrinterNotValid));
    return;
  }
  // The picture was laid out in the screen's pixels: at most a point for each.
  const PicturePages layout = LayOutPages(picture_->Bands(), picture_->Size(), QSizeF(printer.width(), printer.height()),
                                          printer.logicalDpiX() / 72.0);
  for (std::size_t i = 0; i < layout.pages.size(); ++i) {
    if (i > 0) printer.newPage();
    const PictureBand& part = layout.pages[i];
    painter.save();
    painter.scale(layout.scale, layout.scale);
    painter.translate(0, -part.top);
    painter.setClipRect(QRectF(0, part.top, picture_->Size().width(), part.bottom - part.top));
    picture_->Paint(painter);
    painter.restore();
  }
  painter.end();
}
