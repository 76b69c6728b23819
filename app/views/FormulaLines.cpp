#include "views/FormulaLines.h"

#include <QFontMetricsF>

namespace {

bool IsOperator(QChar c) { return c == QLatin1Char('|') || c == QLatin1Char('&') || c == QLatin1Char('>') || c == QLatin1Char('='); }

}  // namespace

QStringList FormulaLines(const QString& formula, const QFontMetricsF& metrics, double width) {
  QStringList lines;
  qsizetype start = 0;
  while (start < formula.size()) {
    // The longest piece from start that fits, and within it the last place after a '|'
    // and after any operator.
    qsizetype end = start;
    qsizetype afterOr = -1, afterOperator = -1;
    while (end < formula.size() && metrics.horizontalAdvance(formula.mid(start, end - start + 1)) <= width) {
      if (formula[end] == QLatin1Char('|')) afterOr = end + 1;
      if (IsOperator(formula[end])) afterOperator = end + 1;
      ++end;
    }
    if (end < formula.size()) {
      if (afterOr > start) end = afterOr;
      else if (afterOperator > start) end = afterOperator;
      else if (end == start) end = start + 1;  // not even one character fits
    }
    lines.append(formula.mid(start, end - start));
    start = end;
  }
  return lines;
}
