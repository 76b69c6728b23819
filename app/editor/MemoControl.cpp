#include "editor/MemoControl.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMimeData>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <algorithm>
#include <cmath>
#include <utility>

#include "dialogs/ErrorReport.h"
#include "editor/TextVersions.h"
#include "text/AlignedTextLayout.h"
#include "text/Latin1Text.h"
#include "text/PixelFont.h"

MemoControl::MemoControl(QWidget* parent) : QPlainTextEdit(parent) {
  setObjectName(QStringLiteral("Memo1"));
  auto* text = new QTextDocument(this);
  text->setDocumentLayout(new AlignedTextLayout(text));
  setDocument(text);
  setFrameShape(QFrame::NoFrame);
  setLineWrapMode(NoWrap);
  // The formatting rectangle alone keeps the text off the control's edges.
  document()->setDocumentMargin(0);
  // Latin-1 text runs left to right; a stated direction spares the layout a scan of
  // every line for its first strong character.
  QTextOption option = document()->defaultTextOption();
  option.setTextDirection(Qt::LeftToRight);
  document()->setDefaultTextOption(option);
  document()->clearUndoRedoStacks();  // a setting, not an edit to undo or save
  document()->setModified(false);
  versions_ = new TextVersions(*this);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  // The margins of the formatting rectangle show the text's background.
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Base);

  // A selected line break shows as a mark behind the end of its line. Behind the
  // longest line that mark lies outside the area the text reports as changed when the
  // selection goes, and it would stay painted; the visible text is redrawn instead.
  connect(this, &QPlainTextEdit::selectionChanged, viewport(), qOverload<>(&QWidget::update));

  SetTextFont(PixelFont(QStringLiteral("Courier New"), 13));
  QPalette colours = palette();
  colours.setColor(QPalette::Text, Qt::black);
  setPalette(colours);
}

namespace {

constexpr int kSmallestZoom = -5;  // half the size
constexpr int kLargestZoom = 30;   // four times

QFont Zoomed(QFont font, int zoom) {
  const double factor = 1.0 + zoom / 10.0;
  if (font.pixelSize() > 0) font.setPixelSize(std::max(1, static_cast<int>(std::lround(font.pixelSize() * factor))));
  else font.setPointSizeF(font.pointSizeF() * factor);
  return font;
}

}  // namespace

QString LineTooLongReason() {
  return QStringLiteral("A line may hold at most %1 characters.").arg(MemoControl::kCapacityLineLength);
}

void MemoControl::SetTextFont(const QFont& font) {
  chosen_ = Unshaped(font);
  ShowFont();
}

void MemoControl::Zoom(int steps) {
  zoom_ = std::clamp(zoom_ + steps, kSmallestZoom, kLargestZoom);
  ShowFont();
}

void MemoControl::ZoomReset() {
  zoom_ = 0;
  ShowFont();
}

void MemoControl::ShowFont() {
  const QFont shown = Zoomed(chosen_, zoom_);
  setFont(shown);
  setTabStopDistance(8 * QFontMetricsF(shown).averageCharWidth());
}

QFont MemoControl::Unshaped(QFont font) {
  font.setStyleStrategy(QFont::PreferNoShaping);
  return font;
}

void MemoControl::SetEditRect(const QMargins& margins) { setViewportMargins(margins); }

std::string MemoControl::DocumentText() const { return DocumentFromControlText(document()->toRawText()); }

void MemoControl::SetDocumentText(std::string_view bytes) {
  versions_->Forget();
  setPlainText(ControlTextFromDocument(bytes));
  document()->setModified(false);
}

void MemoControl::MarkSaved() { versions_->Saved(); }

QTextDocument* MemoControl::NewDocument(QObject* owner) const {
  auto* text = new QTextDocument(owner);
  text->setDocumentLayout(new AlignedTextLayout(text));
  text->setDocumentMargin(document()->documentMargin());
  text->setDefaultTextOption(document()->defaultTextOption());
  text->setDefaultFont(document()->defaultFont());
  return text;
}

void MemoControl::ShowDocument(QTextDocument* text) {
  setDocument(text);
  ShowFont();
}

Qt::Alignment MemoControl::TextAlignment() const {
  return document()->defaultTextOption().alignment() & Qt::AlignHorizontal_Mask;
}

void MemoControl::SetTextAlignment(Qt::Alignment alignment) {
  QTextOption option = document()->defaultTextOption();
  option.setAlignment(alignment);
  document()->setDefaultTextOption(option);  // lays out again the lines shown
  // Aligned right or centred, the lines stand within the control's width; a large
  // text may have kept the layout of an earlier width (resizeEvent).
  if (alignment != Qt::AlignLeft && std::exchange(layoutWidthStale_, false)) {
    QResizeEvent widthChanged(size(), QSize(-1, -1));
    QPlainTextEdit::resizeEvent(&widthChanged);
  }
}

void MemoControl::SetWordWrap(bool on) {
  setHorizontalScrollBarPolicy(on ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAlwaysOn);
  setLineWrapMode(on ? WidgetWidth : NoWrap);  // lays the text out for the width now
  layoutWidthStale_ = false;
}

void MemoControl::SetEngineWriting(bool writing) {
  setReadOnly(writing);
  if (writing) setTextInteractionFlags(Qt::NoTextInteraction);
}

void MemoControl::keyPressEvent(QKeyEvent* event) {
  const bool isReturn = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (isReturn && (event->modifiers() & Qt::ShiftModifier)) {
    // Shift+Enter would make a line break inside a line; the text knows only one kind.
    QKeyEvent plain(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier, event->text(),
                    event->isAutoRepeat(), static_cast<ushort>(event->count()));
    QPlainTextEdit::keyPressEvent(&plain);
    event->setAccepted(plain.isAccepted());
    return;
  }
  const QString text = event->text();
  if (!isReadOnly() && !text.isEmpty() && text[0].isPrint() && Latin1Input(text) != text) {
    insertPlainText(Latin1Input(text));
    event->accept();
    return;
  }
  QPlainTextEdit::keyPressEvent(event);
}

void MemoControl::inputMethodEvent(QInputMethodEvent* event) {
  const QString commit = event->commitString();
  if (Latin1Input(commit) == commit) {
    QPlainTextEdit::inputMethodEvent(event);
    return;
  }
  QInputMethodEvent latin1(event->preeditString(), event->attributes());
  latin1.setCommitString(Latin1Input(commit), event->replacementStart(), event->replacementLength());
  QPlainTextEdit::inputMethodEvent(&latin1);
  event->setAccepted(latin1.isAccepted());
}

bool MemoControl::canInsertFromMimeData(const QMimeData* source) const { return source->hasText(); }

void MemoControl::insertFromMimeData(const QMimeData* source) {
  if (!source->hasText()) return;
  const QString text = Latin1Input(source->text());
  // Refused whole: the clipboard or the dragged text still has it all.
  if (!Holds(text)) {
    ShowErrorReport(this, QStringLiteral("Text exceeds memo capacity"));
    return;
  }
  if (LongestLineWith(text) > kCapacityLineLength) {
    ShowErrorReport(this, FileError{QStringLiteral("Text exceeds memo capacity"), LineTooLongReason()});
    return;
  }
  insertPlainText(text);
  ensureCursorVisible();
}

TextCapacity MemoControl::Capacity() const {
  if (fixedCapacity_) return *fixedCapacity_;
  const QTextDocument& text = *document();
  return CapacityWithRoom(DocumentSize(text), static_cast<std::size_t>(text.blockCount()), MemoryRoom());
}

// Without word wrap and aligned left, the lines do not depend on the width of the
// control; Qt would nonetheless lay the whole text out again for every change of the
// width, and make a layout for every line, some hundred bytes each. A large text
// keeps its layout; its horizontal scroll range then counts with the widest the
// control has been.
void MemoControl::resizeEvent(QResizeEvent* event) {
  constexpr int kLargeText = 100'000;  // lines
  const bool widthMatters = WordWrap() || TextAlignment() != Qt::AlignLeft;
  if (widthMatters || document()->blockCount() < kLargeText || event->oldSize().width() == event->size().width()) {
    QPlainTextEdit::resizeEvent(event);
    return;
  }
  QResizeEvent heightOnly(event->size(), QSize(event->size().width(), event->oldSize().height()));
  QPlainTextEdit::resizeEvent(&heightOnly);
  layoutWidthStale_ = true;
}

bool MemoControl::Holds(const QString& inserted) const {
  const QTextDocument& text = *document();
  const QTextCursor cursor = textCursor();
  const QString selected = cursor.selectedText();
  const auto breaks = [](const QString& part, QChar mark) { return static_cast<std::size_t>(part.count(mark)); };
  const std::size_t lines = static_cast<std::size_t>(text.blockCount()) -
                            breaks(selected, QChar::ParagraphSeparator) + breaks(inserted, QLatin1Char('\n'));
  // Document bytes: a line break counts two.
  const std::size_t bytes = DocumentSize(text) -
                            (static_cast<std::size_t>(selected.size()) + breaks(selected, QChar::ParagraphSeparator)) +
                            static_cast<std::size_t>(inserted.size()) + breaks(inserted, QLatin1Char('\n'));
  return Capacity().Holds(bytes, lines);
}

std::size_t MemoControl::LongestLineWith(const QString& inserted) const {
  const QTextCursor selection = textCursor();
  QTextCursor start(document());
  start.setPosition(selection.selectionStart());
  QTextCursor end(document());
  end.setPosition(selection.selectionEnd());
  const QStringList parts = inserted.split(QLatin1Char('\n'));
  std::size_t longest = 0;
  for (qsizetype i = 0; i < parts.size(); ++i) {
    qsizetype length = parts[i].size();
    if (i == 0) length += start.positionInBlock();
    if (i == parts.size() - 1) length += end.block().length() - 1 - end.positionInBlock();
    longest = std::max(longest, static_cast<std::size_t>(length));
  }
  return longest;
}

QMimeData* MemoControl::createMimeDataFromSelection() const {
  auto* data = new QMimeData;
  QString text = textCursor().selectedText();
  text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  data->setText(text);
  return data;
}
