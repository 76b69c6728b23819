#pragma once
// The keys of a multiple-document program beyond the menus: Ctrl+F6 goes to the next
// editor window, as Ctrl+Tab does. It belongs to no menu item, so that the menus stay
// as they are. (Ctrl+F4, which closes the active window with its save prompt, is the
// key of Close in each window's own system menu; a second action on it would make the
// key ambiguous, and neither would run.)

class QMainWindow;
class QMdiArea;

void AddWindowKeys(QMainWindow& frame, QMdiArea& area);
