#include "text/ShownFont.h"

#include <QFontInfo>
#include <algorithm>

QFont ShownFont(const QFont& font) {
  const QFontInfo shown(font);
  QFont result(shown.family());
  result.setPointSize(std::max(1, qRound(shown.pointSizeF())));
  result.setWeight(static_cast<QFont::Weight>(shown.weight()));
  result.setItalic(shown.italic());
  result.setUnderline(font.underline());
  result.setStrikeOut(font.strikeOut());
  return result;
}

bool SameInDialog(const QFont& a, const QFont& b) {
  return a.family() == b.family() && a.pointSize() == b.pointSize() && a.weight() == b.weight() &&
         a.italic() == b.italic() && a.underline() == b.underline() && a.strikeOut() == b.strikeOut();
}
