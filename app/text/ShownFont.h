#pragma once
// A font as the font dialog can show it. The text's font names a family that a Linux
// desktop may lack ("Courier New") and a size in pixels; the dialog lists only installed
// families and sizes in points, and opened on such a font it would select some other
// family. The shown font names the family that actually stands in and its size in
// whole points, with the same weight, slant and effects.

#include <QFont>

QFont ShownFont(const QFont& font);

// Whether two fonts look the same in the dialog: family, size in points, weight,
// slant, underline and strike-out.
bool SameInDialog(const QFont& a, const QFont& b);
