#include "session/MainSettings.h"

#include "session/Language.h"
#include "session/SettingsFile.h"

namespace {
int InRange(int value, int low, int high, int fallback)
{
    return value >= low && value <= high ? value : fallback;
}

QByteArray HistKey(int n)
{
    return "Hist" + QByteArray::number(n);
}

// The switches, read and written alike, in the order they are written.
struct Switch {
    const char* section;
    const char* key;
    bool MainSettings::*member;
    bool fallback;
};
constexpr Switch Switches[] = {
    {"I2C", "Chack", &MainSettings::ackCheck, true},
    {"Scen", "ScErase", &MainSettings::scErase, false},
    {"Scen", "ScCheckFF", &MainSettings::scCheckFF, false},
    {"Scen", "ScWrite", &MainSettings::scWrite, false},
    {"Scen", "ScCompare", &MainSettings::scCompare, false},
    {"Update", "CheckUpdate", &MainSettings::checkUpdate, false},
    {"Settings", "Verify", &MainSettings::verify, true},
};
} // namespace

MainSettings ReadMainSettings(const SettingsFile& file, const QString& defaultDumpDir)
{
    MainSettings s;
    s.dumpDir = file.readText("Window", "DumpDir", defaultDumpDir);
    s.autosaveFormat = InRange(file.readInt("FileExt", "Ext", 0), 0, 1, 0);
    s.i2cSpeed = InRange(file.readInt("I2C", "Bdr", 0), 0, 3, 0);
    s.slaveAddress = file.readInt("I2C", "SlaveAdr", 160);
    for (const Switch& item : Switches) s.*item.member = file.readBool(item.section, item.key, item.fallback);
    s.chipName = file.readText("Chip", "Type", QStringLiteral("24C01"));
    s.language = LanguageFromId(file.readInt("Lang", "Id", -1));
    s.mainLeft = file.readInt("Window", "MainLeft", 0);
    s.mainTop = file.readInt("Window", "MainTop", 0);
    for (int n = 1; n <= 10; ++n) {
        const QString entry = file.readText("History", HistKey(n).constData(), QString());
        if (!entry.isEmpty()) s.history << entry;
    }
    return s;
}

void WriteMainSettings(SettingsFile& file, const MainSettings& s, const QStringList& recentFiles)
{
    file.writeInt("FileExt", "Ext", s.autosaveFormat);
    file.writeInt("I2C", "Bdr", s.i2cSpeed);
    for (const Switch& item : Switches) file.writeBool(item.section, item.key, s.*item.member);
    file.writeInt("Lang", "Id", int(s.language));
    file.writeText("Window", "DumpDir", s.dumpDir);
    file.writeInt("Window", "MainLeft", s.mainLeft);
    file.writeInt("Window", "MainTop", s.mainTop);
    file.eraseSection("History");
    for (int n = 1; n <= recentFiles.size() && n <= 10; ++n)
        file.writeText("History", HistKey(n).constData(), recentFiles.at(n - 1));
}
