#pragma once
// Fonts given as a family and a height in pixels, as the windows' designs name them.
// Families that a Linux desktop lacks fall back to a metric-compatible family where
// one exists ("Times New Roman" to Liberation Serif, the sans-serif families to
// Liberation Sans), so that texts keep roughly the width they were laid out for.

#include <QFont>
#include <QString>

QFont PixelFont(const QString& family, int pixels, bool bold = false);

// The font, made smaller if need be, so that text fits into width pixels.
QFont FitToWidth(QFont font, const QString& text, int width);
