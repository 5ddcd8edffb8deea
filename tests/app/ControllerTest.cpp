#include "RecordingView.h"
#include "app/Captions.h"
#include "app/MainController.h"
#include "session/AppPaths.h"
#include "session/CancelHints.h"
#include "session/Language.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
class Controller : public ::testing::Test {
protected:
    QTemporaryDir folder;
    RecordingView view;
    MainController controller{view, StartupOptions{}};

    void SetUp() override { AppPaths::SetProgramFolder(folder.path()); }

    QString iniPath() const { return folder.filePath("Vespera.ini"); }
    void writeIni(const QByteArray& text)
    {
        QFile f(iniPath());
        f.open(QIODevice::WriteOnly);
        f.write(text);
    }
    QByteArray readIni() const
    {
        QFile f(iniPath());
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
};
} // namespace

TEST_F(Controller, FirstStartUsesDefaultsAndCreatesTheDumpFolder)
{
    controller.FormCreate();
    EXPECT_EQ(controller.settings().dumpDir, folder.filePath("DumpsBackup"));
    EXPECT_TRUE(QDir(folder.filePath("DumpsBackup")).exists());
    EXPECT_TRUE(view.checked.value("Mm_SPEED_LOW"));
    EXPECT_TRUE(view.checked.value("MmAck"));
    EXPECT_TRUE(view.checked.value("MmBin"));
    EXPECT_TRUE(view.checked.value("N0xA0"));
    EXPECT_EQ(controller.slaveAddress(), 0xA0);
    EXPECT_EQ(view.left, 0);
    EXPECT_EQ(view.top, 0);
}

TEST_F(Controller, SettingsTickTheirMenuItems)
{
    writeIni("[I2C]\nBdr=3\nChack=0\nSlaveAdr=300\n[FileExt]\nExt=1\n[Scen]\nScCompare=1\n[Lang]\nId=0\n"
             "[Window]\nMainLeft=33\nMainTop=44\nDumpDir=/no/such/folder\n");
    controller.FormCreate();
    EXPECT_TRUE(view.checked.value("Mm_SPEED_HIGH"));
    EXPECT_FALSE(view.checked.value("MmAck"));
    EXPECT_TRUE(view.checked.value("MmBrg"));
    EXPECT_TRUE(view.checked.value("ScCompare"));
    EXPECT_TRUE(view.checked.value("MmRus"));
    EXPECT_EQ(controller.slaveAddress(), 0xA0); // 300 matches no item
    for (auto it = view.checked.cbegin(); it != view.checked.cend(); ++it)
        EXPECT_FALSE(it.key().startsWith("N0x") && it.value()) << it.key().constData();
    EXPECT_EQ(view.left, 33);
    EXPECT_EQ(view.top, 44);
    EXPECT_EQ(controller.settings().dumpDir, folder.filePath("DumpsBackup"));
}

TEST_F(Controller, EnglishCaptionsOnlyForLanguageOne)
{
    writeIni("[Lang]\nId=0\n");
    controller.FormCreate();
    EXPECT_TRUE(view.captions.isEmpty());
    EXPECT_TRUE(view.items.isEmpty());
    EXPECT_EQ(CancelHintA(), QString::fromUtf8("(Нажмите Esc для отмены операции)"));

    writeIni("[Lang]\nId=1\n");
    controller.FormCreate();
    EXPECT_EQ(view.captions.value("MmFopen"), "&Open");
    EXPECT_EQ(view.captions.value("MmRdStatReg"), "&Read status register");
    EXPECT_EQ(view.captions.value("HexEditor"), "To download a file, drag it to the Hex Editor window.");
    EXPECT_FALSE(view.captions.contains("MmSpi")); // the same in both languages
    EXPECT_EQ(view.captions.value("MmI2CAdr"), "I2C Slave address");
    EXPECT_EQ(view.items.value("CBSearch"), QStringList({"Search Hex-values", "Search text"}));
    EXPECT_TRUE(view.checked.value("MmEng"));
    EXPECT_EQ(CancelHintA(), "(Press Esc to cancel operation)");
    EXPECT_EQ(CancelHintB(), "(Press Esc to cancel the operation)");
}

TEST_F(Controller, CloseWritesTheWindowSettingsButNotAddressOrChip)
{
    writeIni("[Foreign]\nx=1\n");
    controller.FormCreate();
    view.checked["ScErase"] = true;
    view.left = 5;
    controller.FormCloseQuery();
    const QByteArray ini = readIni();
    EXPECT_TRUE(ini.startsWith("[Foreign]\nx=1\n"));
    EXPECT_TRUE(ini.contains("ScErase=1"));
    EXPECT_TRUE(ini.contains("MainLeft=5"));
    EXPECT_TRUE(ini.contains("Id=-1") || ini.contains("Id=0") || ini.contains("Id=1"));
    EXPECT_FALSE(ini.contains("SlaveAdr"));
    EXPECT_FALSE(ini.contains("Type"));
    EXPECT_FALSE(ini.contains("History"));
    EXPECT_TRUE(view.log.empty());
}

TEST_F(Controller, SlaveAddressClickIsSavedAtOnce)
{
    controller.FormCreate();
    controller.N0x001Click(0xA8);
    EXPECT_EQ(controller.slaveAddress(), 0xA8);
    EXPECT_EQ(readIni().trimmed(), "[I2C]\nSlaveAdr=168");
    controller.N0x001Click(0x0A);
    ASSERT_EQ(view.log.size(), 2u);
    EXPECT_EQ(view.log[0].first, "\nI2C Slave Address = 0xA8");
    EXPECT_EQ(view.log[1].first, "\nI2C Slave Address = 0x0A");
    EXPECT_EQ(view.log[1].second, LogColour::Navy);
}

TEST_F(Controller, DumpFolderWithoutAFileManagerIsNamedInRed)
{
    for (const char* language : {"0", "1"}) {
        writeIni(QByteArray("[Lang]\nId=") + language + "\n");
        controller.FormCreate();
        view.log.clear();
        view.fileManager = true;
        controller.MmOpenDirClick();
        EXPECT_TRUE(view.log.empty());
        view.fileManager = false;
        controller.MmOpenDirClick();
        ASSERT_EQ(view.log.size(), 1u);
        EXPECT_EQ(view.log[0].second, LogColour::Red);
        EXPECT_TRUE(view.log[0].first.endsWith(QDir::toNativeSeparators(folder.filePath("DumpsBackup"))));
        EXPECT_EQ(view.log[0].first.startsWith("Cannot open"), CurrentLanguage() == Language::English);
    }
}

TEST_F(Controller, FailedSettingsSaveIsReportedInRed)
{
    controller.FormCreate();
    QDir().mkpath(iniPath()); // a folder where the file should be: it cannot be replaced
    controller.FormCloseQuery();
    ASSERT_FALSE(view.log.empty());
    EXPECT_EQ(view.log.back().second, LogColour::Red);
    EXPECT_TRUE(view.lastLog().contains("Vespera.ini"));
    EXPECT_EQ(view.messages.size(), 1);
}

TEST_F(Controller, PrintLogAppendsTheNumber)
{
    controller.PrintLog("Error in block", LogColour::Red, 96);
    controller.PrintLog("plain");
    ASSERT_EQ(view.log.size(), 2u);
    EXPECT_EQ(view.log[0].first, "Error in block 96 (0x000060)");
    EXPECT_EQ(view.log[0].second, LogColour::Red);
    EXPECT_EQ(view.log[1].first, "plain");
    EXPECT_EQ(view.log[1].second, LogColour::Navy);
}

TEST_F(Controller, ControlStatesFollowTheTable)
{
    controller.ActivateControls(Ready);
    for (auto it = view.enabled.cbegin(); it != view.enabled.cend(); ++it) // the SPI buttons wait for an SPI chip
        EXPECT_EQ(it.value(), it.key() != "SpiPanel") << it.key().constData();

    view.enabled.clear();
    controller.ActivateControls(Busy);
    EXPECT_FALSE(view.enabled.value("MmFopen", true));
    EXPECT_FALSE(view.enabled.value("ToolBar", true));
    EXPECT_FALSE(view.enabled.value("SpiPanel", true));
    EXPECT_FALSE(view.enabled.contains("SBRead")); // disabled with its tool bar
    EXPECT_FALSE(view.enabled.contains("SBStop"));

    view.enabled.clear();
    controller.ActivateControls(NoAdapter);
    EXPECT_TRUE(view.enabled.value("MmEdit"));
    EXPECT_FALSE(view.enabled.value("MmOper", true));
    EXPECT_FALSE(view.enabled.value("SBRead", true));
    EXPECT_FALSE(view.enabled.contains("MmFopen"));
}

TEST_F(Controller, LanguageChangeAsksInTheOldLanguageAndTakesEffectAtOnce)
{
    writeIni("[Lang]\nId=0\n");
    controller.FormCreate();
    view.answerYes = false;
    controller.MmRusClick(1);
    ASSERT_EQ(view.questions.size(), 1);
    EXPECT_TRUE(view.questions[0].startsWith(QString::fromUtf8("Язык интерфейса изменён")));
    EXPECT_EQ(CurrentLanguage(), Language::English);
    EXPECT_EQ(view.closes, 0);

    view.answerYes = true;
    controller.MmRusClick(1);
    EXPECT_TRUE(view.questions[1].startsWith("Interface language was changed"));
    EXPECT_EQ(view.closes, 1);
    EXPECT_EQ(view.restarts, 1); // the program starts again in the new language

    view.closeAccepted = false; // the close was cancelled (the buffer question): no restart
    controller.MmRusClick(0);
    EXPECT_EQ(view.restarts, 1);
}
