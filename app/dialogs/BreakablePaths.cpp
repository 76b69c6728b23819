#include "dialogs/BreakablePaths.h"

namespace {

// A part between two "/" longer than this may be broken inside, after every character
// from there on: a box that is too narrow for it breaks it where the line is full.
constexpr qsizetype kLongestWholePart = 32;

constexpr QChar kBreakPoint(0x200B);  // zero-width space
constexpr QChar kNoBreak(0x2060);     // word joiner

// A path up to this long stays whole on a line; a longer one starts a line of its own.
constexpr qsizetype kLongestWholePath = 40;

// A short path wraps as one word: no break after its "/".
QString UnbreakablePath(const QString& path) {
  QString shown;
  for (const QChar c : path) {
    shown += c;
    if (c == QLatin1Char('/')) shown += kNoBreak;
  }
  return shown;
}

QString BreakablePath(const QString& path) {
  QString shown;
  qsizetype partLength = 0;
  for (const QChar c : path) {
    if (partLength >= kLongestWholePart && c != QLatin1Char('/')) shown += kBreakPoint;
    shown += c;
    partLength = c == QLatin1Char('/') ? 0 : partLength + 1;
  }
  return shown;
}

}  // namespace

QString WithBreakablePaths(const QString& text) {
  QString shown;
  qsizetype at = 0;
  while (at < text.size()) {
    qsizetype end = at;
    while (end < text.size() && text[end] != QLatin1Char(' ') && text[end] != QLatin1Char('\n')) ++end;
    const QString word = text.mid(at, end - at);
    if (word.startsWith(QLatin1Char('/')) && word.size() <= kLongestWholePath) {
      shown += UnbreakablePath(word);
    } else if (word.startsWith(QLatin1Char('/'))) {
      if (shown.endsWith(QLatin1Char(' '))) shown.back() = QLatin1Char('\n');  // the path on a line of its own
      shown += BreakablePath(word);
    } else {
      shown += word;
    }
    if (end < text.size()) shown += text[end];
    at = end + 1;
  }
  return shown;
}
