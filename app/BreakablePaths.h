#pragma once
// Paths in a message box, made to wrap where they must and nowhere else. A box breaks
// its lines at blanks, and after a "/" where the line is full: a short path at the
// end of a sentence would be cut right after its first "/", and a long name without a
// "/" would run off the box's edge. Here every path starts a line of its own, and a
// long part between two "/" gets invisible break points (zero-width spaces).

#include <QString>

// The text as a box shows it. A path is a word (between blanks or line breaks) that
// starts with "/"; only the shown text changes, never the text the program reports.
QString WithBreakablePaths(const QString& text);
