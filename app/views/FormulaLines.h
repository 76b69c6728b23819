#pragma once
// A formula broken into lines no wider than a width, as a reader breaks it: after an
// operator, a disjunction's '|' where it can, else after any other; only a run without
// an operator wider than the line is cut where it must. The pieces joined again give
// the formula.

#include <QString>
#include <QStringList>

class QFontMetricsF;

QStringList FormulaLines(const QString& formula, const QFontMetricsF& metrics, double width);
