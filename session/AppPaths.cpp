#include "session/AppPaths.h"

#include "chipdb/ChipListFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
struct Layout {
    QString program;
    bool installed = false;
    QString shipped;  // the folder of the chip list that comes with the program
    QString config;   // Vespera.ini
    QString userData; // the user's chip list, dumps and other files
};
Layout layout;

// Where `cmake --install` puts the program's data, seen from its bin folder.
QString InstalledDataFolder(const QString& program)
{
    return QDir::cleanPath(program + QStringLiteral("/../share/vespera"));
}

bool IsWritableFolder(const QString& folder)
{
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

const Layout& Current()
{
    if (layout.program.isEmpty()) AppPaths::SetProgramFolder(QCoreApplication::applicationDirPath());
    return layout;
}
} // namespace

void AppPaths::SetProgramFolder(const QString& folder)
{
    layout.program = QDir::cleanPath(folder);
    const QString installedData = InstalledDataFolder(layout.program);
    const bool installedTree = QFileInfo(installedData).isDir();
    // Root can write anywhere, so the layout of the tree decides first; writability only tells a
    // read-only portable copy apart.
    layout.installed = installedTree || !IsWritableFolder(layout.program);
    layout.shipped = installedTree ? installedData : layout.program;
    if (!layout.installed) {
        layout.config = layout.userData = layout.program;
        return;
    }
    const QString name = QStringLiteral("/vespera");
    layout.config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + name;
    layout.userData = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + name;
    QDir().mkpath(layout.config);
    QDir().mkpath(layout.userData);
}

QString AppPaths::ProgramFolder()
{
    return Current().program;
}

bool AppPaths::IsInstalled()
{
    return Current().installed;
}

QString AppPaths::DataFolder()
{
    return Current().userData;
}

QString SettingsPath()
{
    return Current().config + QStringLiteral("/Vespera.ini");
}

QString ChipListPath()
{
    const QString edited = ChipListWritePath();
    if (Current().installed && QFileInfo::exists(edited)) return edited;
    return Current().shipped + QLatin1Char('/') + QString::fromLatin1(chipdb::kChipListFileName);
}

QString ChipListWritePath()
{
    return Current().userData + QLatin1Char('/') + QString::fromLatin1(chipdb::kChipListFileName);
}

QString DefaultDumpDir()
{
    return Current().userData + QStringLiteral("/DumpsBackup");
}
