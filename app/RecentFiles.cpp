#include "app/RecentFiles.h"

#include <QFileInfo>
#include <algorithm>

namespace {
constexpr int MaxRecentFiles = 10;

bool Contains(const QStringList& list, const QString& path)
{
    return list.contains(path, Qt::CaseInsensitive);
}
} // namespace

RecentFiles RecentFiles::FromSettings(const QStringList& stored)
{
    RecentFiles recent;
    for (const QString& path : stored)
        if (QFileInfo(path).isFile() && !Contains(recent.list, path)) recent.list << path;
    std::sort(recent.list.begin(), recent.list.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return recent;
}

void RecentFiles::add(const QString& path)
{
    if (Contains(list, path)) return;
    list.prepend(path);
    while (list.size() > MaxRecentFiles) list.removeLast();
}
