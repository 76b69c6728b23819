#pragma once
// The Window menu's arrangements of the editor windows that the multiple-document
// area has no call of its own for.

class QMdiArea;

// Stacks the windows that are not minimised one above the other, each as wide as the
// area, the active one at the top; a row is left free for minimised windows.
void TileHorizontally(QMdiArea& area);

// Lines up the minimised windows along the bottom of the area, left to right and then
// row above row.
void ArrangeIcons(QMdiArea& area);
