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
} // namespace

MainSettings ReadMainSettings(const SettingsFile &file, const QString &defaultDumpDir)
{
    MainSettings s;
    s.dumpDir = file.readText("Window", "DumpDir", defaultDumpDir);
    s.autosaveFormat = InRange(file.readInt("FileExt", "Ext", 0), 0, 1, 0);
    s.i2cSpeed = InRange(file.readInt("I2C", "Bdr", 0), 0, 3, 0);
    s.slaveAddress = file.readInt("I2C", "SlaveAdr", 160);
    s.ackCheck = file.readBool("I2C", "Chack", true);
    s.chipName = file.readText("Chip", "Type", QStringLiteral("24C01"));
    s.scErase = file.readBool("Scen", "ScErase", false);
    s.scCheckFF = file.readBool("Scen", "ScCheckFF", false);
    s.scWrite = file.readBool("Scen", "ScWrite", false);
    s.scCompare = file.readBool("Scen", "ScCompare", false);
    s.checkUpdate = file.readBool("Update", "CheckUpdate", true);
    s.verify = file.readBool("Settings", "Verify", true);
    s.language = LanguageFromId(file.readInt("Lang", "Id", -1));
    s.mainLeft = file.readInt("Window", "MainLeft", 0);
    s.mainTop = file.readInt("Window", "MainTop", 0);
    for (int n = 1; n <= 10; ++n) {
        const QString entry = file.readText("History", HistKey(n).constData(), QString());
        if (!entry.isEmpty())
            s.history << entry;
    }
    return s;
}

void WriteMainSettings(SettingsFile &file, const MainSettings &s, const QStringList &recentFiles)
{
    file.writeInt("FileExt", "Ext", s.autosaveFormat);
    file.writeInt("I2C", "Bdr", s.i2cSpeed);
    file.writeBool("I2C", "Chack", s.ackCheck);
    file.writeBool("Scen", "ScErase", s.scErase);
    file.writeBool("Scen", "ScCheckFF", s.scCheckFF);
    file.writeBool("Scen", "ScWrite", s.scWrite);
    file.writeBool("Scen", "ScCompare", s.scCompare);
    file.writeBool("Update", "CheckUpdate", s.checkUpdate);
    file.writeBool("Settings", "Verify", s.verify);
    file.writeInt("Lang", "Id", int(s.language));
    file.writeText("Window", "DumpDir", s.dumpDir);
    file.writeInt("Window", "MainLeft", s.mainLeft);
    file.writeInt("Window", "MainTop", s.mainTop);
    file.eraseSection("History");
    for (int n = 1; n <= recentFiles.size() && n <= 10; ++n)
        file.writeText("History", HistKey(n).constData(), recentFiles.at(n - 1));
}
