#pragma once
// The Window menu's arrangements of the editor windows that the multiple-document
// area has no call of its own for.

class QMdiArea;

// Stacks the windows that are not minimised one above the other, each as wide as the
// area, the active one at the top; a row is left free for minimised windows.
void TileHorizontally(QMdiArea& area);

// Cascades the windows that are not minimised: each lies one title bar lower and
// further right than the one behind it, so that every title bar shows, with the active
// window in front; all take the same size, as much of the area as the steps leave
// (about two thirds of its height and all but as much of its width). More windows than
// the steps allow start again at the top-left corner.
void Cascade(QMdiArea& area);

// Lines up the minimised windows along the bottom of the area, left to right and then
// row above row.
void ArrangeIcons(QMdiArea& area);
