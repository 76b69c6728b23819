#include "text/Latin1Text.h"

namespace {

bool IsLineBreak(QChar c) {
  return c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == QLatin1Char('\n') ||
         c == QLatin1Char('\r');
}

}  // namespace

// Both conversions write through a pointer into text made large enough at once: the
// output of a command passes through them, tens of megabytes for a large table.
QString ControlTextFromDocument(std::string_view bytes) {
  QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
  QChar* out = text.data();
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte == '\r') {
      if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      *out++ = QLatin1Char('\n');
    } else {
      *out++ = QChar(byte);
    }
  }
  text.truncate(out - text.constData());
  return text;
}

std::string DocumentFromControlText(QStringView raw) {
  const auto breaks = static_cast<std::size_t>(raw.count(QChar::ParagraphSeparator));
  std::string bytes(static_cast<std::size_t>(raw.size()) + breaks, '\0');
  char* out = bytes.data();
  for (const QChar c : raw) {
    if (c == QChar::ParagraphSeparator) {
      *out++ = '\r';
      *out++ = '\n';
    } else {
      *out++ = c.unicode() <= 0xFF ? static_cast<char>(c.unicode()) : '?';
    }
  }
  return bytes;
}

QString Latin1Input(QStringView text) {
  QString result;
  result.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (IsLineBreak(c)) {
      if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) ++i;
      result += QLatin1Char('\n');
    } else if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      ++i;
      result += QLatin1Char('?');
    } else {
      result += c.unicode() <= 0xFF ? c : QLatin1Char('?');
    }
  }
  return result;
}
