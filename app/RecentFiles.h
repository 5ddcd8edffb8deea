#pragma once
// The recent-files list of the File menu: at most ten paths, compared without regard to case.
#include <QStringList>

class RecentFiles {
public:
    // The list as start-up builds it: entries whose file no longer exists dropped, the rest sorted
    // alphabetically without regard to case, duplicates dropped.
    static RecentFiles FromSettings(const QStringList& stored);

    // A path already in the list leaves it unchanged; otherwise it goes on top and an eleventh
    // entry falls off the end.
    void add(const QString& path);

    const QStringList& paths() const { return list; }

private:
    QStringList list;
};
