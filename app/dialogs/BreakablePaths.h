#pragma once
// Paths in a message box, made to wrap where they must and nowhere else. A box breaks
// its lines at blanks, and after a "/" where the line is full: a short path at the
// end of a sentence would be cut right after its first "/", and a long name without a
// "/" would run off the box's edge. Here a short path wraps as one word (word joiners
// after its "/"), and a long one starts a line of its own, with invisible break
// points (zero-width spaces) in long parts between two "/".

#include <QString>

// The text as a box shows it. A path is a word (between blanks or line breaks) that
// starts with "/"; only the shown text changes, never the text the program reports.
QString WithBreakablePaths(const QString& text);
