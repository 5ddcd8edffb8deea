#pragma once
// Where the program's own files live. One decision, taken from the program folder, picks one of
// two layouts:
// - portable (the build folder, a folder copied anywhere): everything beside the program;
// - installed (the program in <prefix>/bin beside <prefix>/share/vespera, or a program folder that
//   cannot be written): the program's files are read-only, the user's live in the XDG folders.
//
//                        portable                 installed
//   settings file        <program>/Vespera.ini    $XDG_CONFIG_HOME/vespera/Vespera.ini
//   chip list, read      <program>/ChipList.dat   $XDG_DATA_HOME/vespera/ChipList.dat when it
//                                                 exists, else the shipped one (<prefix>/share/
//                                                 vespera/, or the program folder)
//   chip list, written   <program>/ChipList.dat   $XDG_DATA_HOME/vespera/ChipList.dat
//   default dump folder  <program>/DumpsBackup    $XDG_DATA_HOME/vespera/DumpsBackup
//   the user's files     <program>                $XDG_DATA_HOME/vespera
#include <QString>

namespace AppPaths {
// Takes the decision; called once at start-up (and by tests). In the installed layout it creates
// the two per-user folders, so that the settings and the chip list can be saved at once.
void SetProgramFolder(const QString& folder);

QString ProgramFolder(); // no trailing separator
bool IsInstalled();
QString DataFolder(); // the user's files: the program folder, or $XDG_DATA_HOME/vespera
} // namespace AppPaths

QString SettingsPath();      // Vespera.ini
QString ChipListPath();      // the chip list to read: the user's edited one if any, else the shipped one
QString ChipListWritePath(); // where the device selection dialog saves the chip list
QString DefaultDumpDir();
