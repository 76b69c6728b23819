#pragma once
// Menu merging by group index: while a child window is active, each of its menus
// replaces the frame's menus of the same group, and the menus stand in ascending group
// order (menus of one group keep their own order).

#include <QList>

class QMenu;

// The group index a menu carries (0 if it has none).
int GroupIndex(const QMenu* menu);
void SetGroupIndex(QMenu* menu, int group);

// The menu bar's menus for the frame's menus and the active child's (none if no child).
QList<QMenu*> MergedMenus(const QList<QMenu*>& frameMenus, const QList<QMenu*>& childMenus);
