#pragma once
// The settings the main window reads when it is created and writes when it closes.
#include "text/TextPair.h"

#include <QString>
#include <QStringList>

class SettingsFile;

struct MainSettings {
    QString dumpDir;        // Window/DumpDir
    int autosaveFormat = 0; // FileExt/Ext: 0 BIN, 1 BRG
    int i2cSpeed = 0;       // I2C/Bdr: 0..3 = 20, 100, 400, 750 kHz
    int slaveAddress = 160; // I2C/SlaveAdr; outside 0..255 no menu item matches
    bool ackCheck = true;   // I2C/Chack
    QString chipName;       // Chip/Type
    bool scErase = false, scCheckFF = false, scWrite = false, scCompare = false; // Scen/...
    bool checkUpdate = false;                                                    // Update/CheckUpdate
    bool verify = true;                      // Settings/Verify: read the chip back after writing it
    Language language = Language::NotChosen; // Lang/Id
    int mainLeft = 0, mainTop = 0;           // Window/MainLeft, MainTop
    QStringList history;                     // History/Hist1..Hist10 as stored, empty entries left out
};

// Reads every key. Ext, Bdr and Id outside their ranges read as their defaults, as does any value
// that is not an integer.
MainSettings ReadMainSettings(const SettingsFile& file, const QString& defaultDumpDir);

// Writes the keys the main window's close owns, in their order, and replaces the History section
// with `recentFiles` (no section while the list is empty). Does not save the file.
void WriteMainSettings(SettingsFile& file, const MainSettings& settings, const QStringList& recentFiles);
