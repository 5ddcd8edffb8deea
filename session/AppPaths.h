#pragma once
// Where the program's own files live. The program folder holds the executable and the files that
// travel with it (portable install). When that folder cannot be written (a system-wide install),
// the per-user folder $XDG_CONFIG_HOME/vespera takes its place for everything the program writes.
#include <QString>

namespace AppPaths {
void SetProgramFolder(const QString &folder); // called once at start-up (and by tests)
QString ProgramFolder();                      // no trailing separator
QString DataFolder();                         // the program folder, or the per-user one
} // namespace AppPaths

// A path in the data folder: folder + "/" + subfolder + "/" + name, or folder + "/" + name when
// subfolder is empty.
QString FilePath(const QString &subfolder, const QString &name);

// The settings file, the chip database to read, and the default dump folder.
QString SettingsPath();
QString ChipListPath();
QString DefaultDumpDir();
