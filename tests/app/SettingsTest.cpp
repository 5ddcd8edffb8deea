#include "session/MainSettings.h"
#include "session/SettingsFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

// The file's lines without the blank lines between sections.
QByteArray Lines(const QString& path)
{
    QByteArray lines;
    for (const QByteArray& line : ReadAll(path).split('\n'))
        if (!line.isEmpty()) lines += line + '\n';
    return lines;
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
}

class Settings : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath("Vespera.ini");
};
} // namespace

TEST_F(Settings, MissingFileGivesEveryDefault)
{
    const MainSettings s = ReadMainSettings(SettingsFile(path), "/dumps");
    EXPECT_EQ(s.dumpDir, "/dumps");
    EXPECT_EQ(s.autosaveFormat, 0);
    EXPECT_EQ(s.i2cSpeed, 0);
    EXPECT_EQ(s.slaveAddress, 160);
    EXPECT_TRUE(s.ackCheck);
    EXPECT_EQ(s.chipName, "24C01");
    EXPECT_FALSE(s.scErase || s.scCheckFF || s.scWrite || s.scCompare);
    EXPECT_FALSE(s.checkUpdate); // no check at start unless asked for
    EXPECT_EQ(s.language, Language::NotChosen);
    EXPECT_EQ(s.mainLeft, 0);
    EXPECT_EQ(s.mainTop, 0);
    EXPECT_TRUE(s.history.isEmpty());
}

TEST_F(Settings, BadOrOutOfRangeValuesReadAsDefaults)
{
    WriteAll(path, "[FileExt]\nExt=2\n[I2C]\nBdr=x1\nSlaveAdr=300\nChack=yes\n[Lang]\nId=5\n"
                   "[Window]\nMainLeft=12abc\nMainTop= 40 \n[Scen]\nScWrite=7\n");
    const MainSettings s = ReadMainSettings(SettingsFile(path), "/d");
    EXPECT_EQ(s.autosaveFormat, 0);
    EXPECT_EQ(s.i2cSpeed, 0);
    EXPECT_EQ(s.slaveAddress, 300); // kept: no menu item matches it, the built-in address stays
    EXPECT_TRUE(s.ackCheck);
    EXPECT_EQ(s.language, Language::NotChosen);
    EXPECT_EQ(s.mainLeft, 0);
    EXPECT_EQ(s.mainTop, 40);
    EXPECT_TRUE(s.scWrite);
}

TEST_F(Settings, NegativeLanguageReadsAsNotChosen)
{
    WriteAll(path, "[Lang]\nId=-7\n");
    EXPECT_EQ(ReadMainSettings(SettingsFile(path), "/d").language, Language::NotChosen);
}

TEST_F(Settings, CloseWritesItsKeysInOrderAndKeepsForeignSections)
{
    WriteAll(path, "[Mine]\nkeep=this\n[chip]\ntype=25Q64\n[History]\nHist1=/old/a.bin\nHist7=/old/b.bin\n");
    MainSettings s;
    s.dumpDir = "/dumps";
    s.autosaveFormat = 1;
    s.i2cSpeed = 2;
    s.ackCheck = false;
    s.scWrite = true;
    s.language = Language::English;
    s.mainLeft = 10;
    s.mainTop = 20;
    {
        SettingsFile file(path);
        WriteMainSettings(file, s, {"/x/one.bin", "/x/two.hex"});
        QString error;
        ASSERT_TRUE(file.save(&error)) << error.toStdString();
    }
    EXPECT_EQ(Lines(path), "[Mine]\nkeep=this\n"
                           "[chip]\ntype=25Q64\n"
                           "[FileExt]\nExt=1\n"
                           "[I2C]\nBdr=2\nChack=0\n"
                           "[Scen]\nScErase=0\nScCheckFF=0\nScWrite=1\nScCompare=0\n"
                           "[Update]\nCheckUpdate=0\n"
                           "[Settings]\nVerify=1\n"
                           "[Lang]\nId=1\n"
                           "[Window]\nDumpDir=/dumps\nMainLeft=10\nMainTop=20\n"
                           "[History]\nHist1=/x/one.bin\nHist2=/x/two.hex\n");

    const MainSettings back = ReadMainSettings(SettingsFile(path), "/d");
    EXPECT_EQ(back.chipName, "25Q64"); // section and key names match without regard to case
    EXPECT_EQ(back.autosaveFormat, 1);
    EXPECT_EQ(back.i2cSpeed, 2);
    EXPECT_FALSE(back.ackCheck);
    EXPECT_EQ(back.history, QStringList({"/x/one.bin", "/x/two.hex"}));
}

TEST_F(Settings, EmptyRecentListLeavesNoHistorySection)
{
    WriteAll(path, "[History]\nHist1=/gone.bin\n");
    SettingsFile file(path);
    WriteMainSettings(file, MainSettings{}, {});
    QString error;
    ASSERT_TRUE(file.save(&error));
    EXPECT_FALSE(ReadAll(path).contains("History"));
}

TEST_F(Settings, FailedSaveReportsAndLeavesNoFile)
{
    const QString unreachable = dir.filePath("missing-folder/Vespera.ini");
    SettingsFile file(unreachable);
    file.writeInt("I2C", "SlaveAdr", 80);
    QString error;
    EXPECT_FALSE(file.save(&error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(unreachable));
}

TEST_F(Settings, AReadOnlyFileIsRefusedWithTheSystemsCause)
{
    WriteAll(path, "[I2C]\nSlaveAdr=160\n");
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    SettingsFile file(path);
    file.writeInt("I2C", "SlaveAdr", 80);
    QString error;
    EXPECT_FALSE(file.save(&error));
    EXPECT_EQ(error, "Permission denied");
    EXPECT_EQ(ReadAll(path), "[I2C]\nSlaveAdr=160\n");
}
