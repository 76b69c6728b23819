#include "frame/MenuMerge.h"

#include <QMenu>
#include <QSet>
#include <algorithm>

namespace {
constexpr char kGroupIndex[] = "GroupIndex";
}

int GroupIndex(const QMenu* menu) { return menu->property(kGroupIndex).toInt(); }

void SetGroupIndex(QMenu* menu, int group) { menu->setProperty(kGroupIndex, group); }

QMenu* AddMenu(QWidget* owner, const char* name, const QString& caption, int group) {
  auto* menu = new QMenu(caption, owner);
  menu->setObjectName(QString::fromLatin1(name));
  menu->menuAction()->setObjectName(QString::fromLatin1(name));
  SetGroupIndex(menu, group);
  return menu;
}

QList<QMenu*> MergedMenus(const QList<QMenu*>& frameMenus, const QList<QMenu*>& childMenus) {
  QSet<int> childGroups;
  for (const QMenu* menu : childMenus) childGroups.insert(GroupIndex(menu));
  QList<QMenu*> merged;
  for (QMenu* menu : frameMenus) {
    if (!childGroups.contains(GroupIndex(menu))) merged.append(menu);
  }
  merged.append(childMenus);
  std::stable_sort(merged.begin(), merged.end(),
                   [](const QMenu* a, const QMenu* b) { return GroupIndex(a) < GroupIndex(b); });
  return merged;
}
