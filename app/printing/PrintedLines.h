#pragma once
// The lines of an editor window's text as printing takes them: the lines that the
// control shows. Without word wrap every line of the text is one printed line; with
// word wrap every displayed line is one, broken where the window breaks it (the soft
// breaks are not part of the text). A final empty line, that of a text ending in a
// line break, is not printed, so an empty text has no lines. Each line is taken with
// at most kMaxPrintedLineLength characters.

#include <QStringList>

class QPlainTextEdit;

inline constexpr qsizetype kMaxPrintedLineLength = 4096;

QStringList PrintedLines(const QPlainTextEdit& control);
