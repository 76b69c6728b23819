#pragma once
// Menu merging by group index: while a child window is active, each of its menus
// replaces the frame's menus of the same group, and the menus stand in ascending group
// order (menus of one group keep their own order).

#include <QList>

class QMenu;
class QString;
class QWidget;

// The group index a menu carries (0 if it has none).
int GroupIndex(const QMenu* menu);
void SetGroupIndex(QMenu* menu, int group);

// A menu of owner's menu bar in the given group; the menu and its action are both
// named name, so tests and the merge find them.
QMenu* AddMenu(QWidget* owner, const char* name, const QString& caption, int group);

// The menu bar's menus for the frame's menus and the active child's (none if no child).
QList<QMenu*> MergedMenus(const QList<QMenu*>& frameMenus, const QList<QMenu*>& childMenus);
