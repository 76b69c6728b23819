#include "text/AlignedTextLayout.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QtMath>
#include <algorithm>

AlignedTextLayout::AlignedTextLayout(QTextDocument* document) : QPlainTextDocumentLayout(document) {
  // Found while a line is laid out, maybe in the middle of drawing: the lines laid out
  // so far are laid out again afterwards.
  connect(this, &QAbstractTextDocumentLayout::documentSizeChanged, this, [this](const QSizeF& size) {
    if (Aligned() && size.width() > alignedWidth_) {
      QMetaObject::invokeMethod(this, &AlignedTextLayout::RealignAll, Qt::QueuedConnection);
    }
  });
}

bool AlignedTextLayout::Aligned() const {
  const QTextOption option = document()->defaultTextOption();
  return option.wrapMode() == QTextOption::NoWrap && (option.alignment() & (Qt::AlignRight | Qt::AlignHCenter)) != 0;
}

QRectF AlignedTextLayout::blockBoundingRect(const QTextBlock& block) const {
  const bool fresh = Aligned() && block.isValid() && block.layout()->lineCount() == 0;
  const QRectF rect = QPlainTextDocumentLayout::blockBoundingRect(block);  // lays the block out if need be
  if (!fresh) return rect;
  Realign(block);
  return QPlainTextDocumentLayout::blockBoundingRect(block);
}

void AlignedTextLayout::documentChanged(int from, int charsRemoved, int charsAdded) {
  QPlainTextDocumentLayout::documentChanged(from, charsRemoved, charsAdded);
  if (!Aligned()) return;
  // A change within one line has Qt lay that line out at once, in the control's width;
  // a change of more lines leaves them to be laid out when shown.
  const QTextBlock first = document()->findBlock(from);
  const QTextBlock last = document()->findBlock(std::max(0, from + charsAdded - 1));
  if (first == last && first.isValid() && first.layout()->lineCount() > 0) Realign(first);
}

// As Qt lays a block out, with the text's width in place of the control's. Qt has
// just laid it out within the control's width, which the text's width may not yet
// count with (Qt starts it afresh with a new text).
void AlignedTextLayout::Realign(const QTextBlock& block) const {
  constexpr qreal kNoWidth = 1e8;  // what Qt gives a line while the control has no width
  const qreal margin = document()->documentMargin();
  QTextLayout& layout = *block.layout();
  const qreal control = layout.lineCount() > 0 && layout.lineAt(0).width() < kNoWidth ? layout.lineAt(0).width() : 0;
  const_cast<AlignedTextLayout*>(this)->alignedWidth_ = std::max(documentSize().width(), control + 2 * margin);
  layout.beginLayout();
  qreal height = 0;
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLeadingIncluded(true);
    line.setLineWidth(alignedWidth_ - 2 * margin);
    line.setPosition(QPointF(margin, height));
    height += line.height();
    if (line.leading() < 0) height += qCeil(line.leading());
  }
  layout.endLayout();
}

// Clearing a block's lines has it laid out again when it is shown; blocks never laid
// out are left without a layout.
void AlignedTextLayout::RealignAll() {
  if (!Aligned()) return;
  alignedWidth_ = documentSize().width();
  for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) block.clearLayout();
  emit update();
}
