#include "printing/PrintedLines.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QPlainTextEdit>
#include <QTextLayout>

namespace {

void AppendDisplayedLines(const QTextBlock& block, QStringList& lines) {
  const QString text = block.text();
  const QTextLayout* layout = block.layout();
  if (layout == nullptr || layout->lineCount() == 0) {
    lines.append(text.left(kMaxPrintedLineLength));
    return;
  }
  for (int i = 0; i < layout->lineCount(); ++i) {
    const QTextLine line = layout->lineAt(i);
    lines.append(text.mid(line.textStart(), line.textLength()).left(kMaxPrintedLineLength));
  }
}

}  // namespace

QStringList PrintedLines(const QPlainTextEdit& control) {
  const QTextDocument& document = *control.document();
  const bool wrapped = control.lineWrapMode() != QPlainTextEdit::NoWrap;
  // The control lays out only the lines it shows; asking for a block's rectangle lays
  // it out, so that it has its displayed lines.
  QAbstractTextDocumentLayout& layout = *document.documentLayout();
  QStringList lines;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    if (wrapped) {
      layout.blockBoundingRect(block);
      AppendDisplayedLines(block, lines);
    } else {
      lines.append(block.text().left(kMaxPrintedLineLength));
    }
  }
  if (document.lastBlock().text().isEmpty()) lines.removeLast();
  return lines;
}
