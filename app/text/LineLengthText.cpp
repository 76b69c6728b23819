#include "text/LineLengthText.h"

namespace {

constexpr std::int64_t kSaturated = std::int64_t{1} << 40;

int DigitValue(QChar c, int base) {
  const char16_t u = c.unicode();
  int value = -1;
  if (u >= u'0' && u <= u'9') value = u - u'0';
  else if (u >= u'a' && u <= u'f') value = u - u'a' + 10;
  else if (u >= u'A' && u <= u'F') value = u - u'A' + 10;
  return value < base ? value : -1;
}

}  // namespace

std::int64_t ReadLineLength(QStringView text) {
  qsizetype i = 0;
  while (i < text.size() && text[i] == QLatin1Char(' ')) ++i;
  bool negative = false;
  int base = 10;
  if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
    negative = text[i] == QLatin1Char('-');
    ++i;
  } else if (i < text.size() && text[i] == QLatin1Char('$')) {
    base = 16;
    ++i;
  }
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    const int digit = DigitValue(text[i], base);
    if (digit < 0) break;
    value = value * base + digit;
    if (value > kSaturated) value = kSaturated;
  }
  return negative ? -value : value;
}
