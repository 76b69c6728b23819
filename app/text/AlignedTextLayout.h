#pragma once
// The layout of an editor window's text: Qt's plain text layout, which lays out only
// the lines it shows, with one change. Aligned right or centred without word wrap, Qt
// would align each line within the control's width, so that a line longer than that
// began left of the text's edge, where no scrolling reaches it. Here such lines are
// aligned within the text's width as the horizontal scroll bar knows it: the widest
// line laid out so far, or the control's width if wider. When a wider line comes, the
// lines shown are laid out again.

#include <QPlainTextDocumentLayout>

class AlignedTextLayout final : public QPlainTextDocumentLayout {
 public:
  explicit AlignedTextLayout(QTextDocument* document);

  QRectF blockBoundingRect(const QTextBlock& block) const override;

 protected:
  void documentChanged(int from, int charsRemoved, int charsAdded) override;

 private:
  bool Aligned() const;  // right or centred, without word wrap
  // Lays the lines of a block that Qt has laid out out again within the text's width.
  void Realign(const QTextBlock& block) const;
  void RealignAll();

  qreal alignedWidth_ = 0;  // the width the lines laid out so far stand in
};
