#pragma once
// The keys of a multiple-document program beyond the menus: Ctrl+F4 closes the active
// editor window (with its save prompt) and Ctrl+F6 goes to the next one, as Ctrl+Tab
// does. They belong to no menu item, so that the menus stay as they are.

class QMainWindow;
class QMdiArea;
class QMdiSubWindow;

void AddWindowKeys(QMainWindow& frame, QMdiArea& area);

// A window's own system menu may carry the same keys (Close has Ctrl+F4 on some
// platforms, not on others); two actions on one key would make it ambiguous, and
// neither would run. The window's menu gives them up to the frame.
void LeaveWindowKeysToFrame(QMdiSubWindow& window);
