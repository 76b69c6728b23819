#include "text/PixelFont.h"

#include <QFontMetrics>
#include <QStringList>

namespace {

struct Fallback {
  const char* family;
  const char* substitutes;  // comma-separated
  QFont::StyleHint hint;
};

constexpr Fallback kFallbacks[] = {
    {"Times New Roman CE", "Times New Roman,Liberation Serif", QFont::Serif},
    {"MS Sans Serif", "Liberation Sans,Arial", QFont::SansSerif},
    {"Century Schoolbook CE", "Century Schoolbook,TeX Gyre Schola,C059,Liberation Serif", QFont::Serif},
    {"Courier New", "Liberation Mono", QFont::TypeWriter},
};

}  // namespace

QFont PixelFont(const QString& family, int pixels, bool bold) {
  QFont font(family);
  QStringList families{family};
  for (const Fallback& fallback : kFallbacks) {
    if (family == QLatin1String(fallback.family)) {
      families += QString::fromLatin1(fallback.substitutes).split(QLatin1Char(','));
      font.setStyleHint(fallback.hint);
    }
  }
  font.setFamilies(families);
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

QFont FitToWidth(QFont font, const QString& text, int width) {
  while (font.pixelSize() > 6 && QFontMetrics(font).horizontalAdvance(text) > width) {
    font.setPixelSize(font.pixelSize() - 1);
  }
  return font;
}
