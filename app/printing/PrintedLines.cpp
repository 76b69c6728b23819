#include "printing/PrintedLines.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
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

QStringList PrintedLines(const QTextEdit& control) {
  const QTextDocument& document = *control.document();
  const bool wrapped = control.lineWrapMode() != QTextEdit::NoWrap;
  // The control lays a long text out bit by bit while it is idle; asking for the
  // document's size finishes the layout, so every block has its displayed lines.
  if (wrapped) document.documentLayout()->documentSize();
  QStringList lines;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    if (wrapped) AppendDisplayedLines(block, lines);
    else lines.append(block.text().left(kMaxPrintedLineLength));
  }
  if (document.lastBlock().text().isEmpty()) lines.removeLast();
  return lines;
}
