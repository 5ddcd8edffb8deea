#include "session/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString programFolder;
QString dataFolder;

bool IsWritableFolder(const QString &folder)
{
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}
} // namespace

void AppPaths::SetProgramFolder(const QString &folder)
{
    programFolder = QDir::cleanPath(folder);
    if (IsWritableFolder(programFolder)) {
        dataFolder = programFolder;
        return;
    }
    dataFolder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/vespera");
    QDir().mkpath(dataFolder);
}

QString AppPaths::ProgramFolder()
{
    if (programFolder.isEmpty())
        SetProgramFolder(QCoreApplication::applicationDirPath());
    return programFolder;
}

QString AppPaths::DataFolder()
{
    if (dataFolder.isEmpty())
        SetProgramFolder(QCoreApplication::applicationDirPath());
    return dataFolder;
}

QString FilePath(const QString &subfolder, const QString &name)
{
    const QString base = AppPaths::DataFolder() + QLatin1Char('/');
    return subfolder.isEmpty() ? base + name : base + subfolder + QLatin1Char('/') + name;
}

QString SettingsPath()
{
    return FilePath(QString(), QStringLiteral("Vespera.ini"));
}

// A copy the device dialog wrote beside the settings wins over the one that came with the program.
QString ChipListPath()
{
    const QString written = FilePath(QString(), QStringLiteral("ChipList.dat"));
    if (QFileInfo::exists(written))
        return written;
    return AppPaths::ProgramFolder() + QStringLiteral("/ChipList.dat");
}

QString DefaultDumpDir()
{
    return AppPaths::DataFolder() + QStringLiteral("/DumpsBackup");
}
