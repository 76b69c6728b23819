#include "text/Latin1Text.h"

namespace {

bool IsLineBreak(QChar c) {
  return c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == QLatin1Char('\n') ||
         c == QLatin1Char('\r');
}

}  // namespace

QString ControlTextFromDocument(std::string_view bytes) {
  QString text;
  text.reserve(static_cast<qsizetype>(bytes.size()));
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte == '\r') {
      if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      text += QLatin1Char('\n');
    } else {
      text += QChar(byte);
    }
  }
  return text;
}

std::string DocumentFromControlText(QStringView raw) {
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(raw.size()) + static_cast<std::size_t>(raw.size()) / 16);
  for (const QChar c : raw) {
    if (c == QChar::ParagraphSeparator) bytes += "\r\n";
    else if (c.unicode() <= 0xFF) bytes += static_cast<char>(c.unicode());
    else bytes += '?';
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
