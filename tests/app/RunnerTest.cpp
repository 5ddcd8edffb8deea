// The completion handling of the operation runner, message by message.
#include "EditorAccess.h"
#include "RecordingView.h"
#include "app/MainController.h"
#include "session/AppPaths.h"
#include "session/DumpFileName.h"
#include "session/ElapsedText.h"

#include <QFile>
#include <QTemporaryDir>
#include <bit>
#include <gtest/gtest.h>

namespace {
class Runner : public ::testing::Test {
protected:
    QTemporaryDir folder;
    RecordingView view;
    MainController controller{view, StartupOptions{}};

    void SetUp() override
    {
        AppPaths::SetProgramFolder(folder.path());
        controller.FormCreate();
        controller.session().catalogue().chip.ChipKind = "ID_24C02";
        controller.session().catalogue().chip.ChipName = "24C02";
        controller.session().catalogue().chip.ChipSize = 16;
        controller.ActivateControls(Busy);
        controller.session().runner().setProgressPosition(5);
    }
};
} // namespace

TEST(FormatSeconds, FourSignificantDigits)
{
    const struct {
        float seconds;
        const char* text;
    } cases[] = {
        {0.0123f, "0.0123"},   {1.5f, "1.5"},       {12.34567f, "12.35"}, {1234.4f, "1234"},
        {12345.6f, "1.235E4"}, {0.000001f, "1E-6"}, {0.0f, "0"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatSeconds(c.seconds).toStdString(), c.text) << c.seconds;
}

TEST(AutoDumpPath, CountsUpPastExistingFilesAndKeepsInsideTheFolder)
{
    QTemporaryDir dir;
    EXPECT_EQ(AutoDumpPath(dir.path(), "W25Q64", ".BIN"), dir.filePath("W25Q64.BIN"));
    QFile(dir.filePath("W25Q64.BIN")).open(QIODevice::WriteOnly);
    QFile(dir.filePath("W25Q64 (1).BIN")).open(QIODevice::WriteOnly);
    EXPECT_EQ(AutoDumpPath(dir.path(), "W25Q64", ".BIN"), dir.filePath("W25Q64 (2).BIN"));
    EXPECT_EQ(AutoDumpPath(dir.path(), "../x/y", ".BRG"), dir.filePath(".._x_y.BRG"));
}

TEST_F(Runner, CancelCodesLogTheirLineAndEndTheOperation)
{
    const struct {
        int32_t code;
        bool blankCheck;
        const char* line;
    } cases[] = {
        {ReadCancelled, false, "Reading terminated by user"},
        {ReadCancelled, true, "Blank check terminated by user"},
        {WriteCancelled, false, "Writing terminated by user"},
        {EraseCancelled, false, "Erasing terminated by user."},
    };
    for (const auto& c : cases) {
        controller.ActivateControls(Busy);
        controller.session().runner().setProgressPosition(5);
        controller.session().runner().BlankCheckMode = c.blankCheck;
        controller.session().runner().WMOpProgress(0, c.code);
        EXPECT_EQ(view.lastLog().toStdString(), c.line);
        EXPECT_EQ(view.log.back().second, LogColour::Navy);
        EXPECT_EQ(view.progress, 0);
        EXPECT_FALSE(controller.busy()) << c.line;
    }
}

TEST_F(Runner, UnknownNegativeCodeRunsOnlyTheTail)
{
    controller.session().runner().WMOpProgress(0, -7);
    EXPECT_TRUE(view.log.empty());
    EXPECT_EQ(view.progress, 0);
    EXPECT_FALSE(controller.busy()); // an I2C chip with nothing pending is ready again

    controller.session().catalogue().chip.ChipKind = "ID_XYZ";
    controller.ActivateControls(Busy);
    controller.session().runner().WMOpProgress(0, -7);
    EXPECT_TRUE(controller.busy()); // no class: the controls are left as they are
}

TEST_F(Runner, PendingCompareKeepsTheControlsBusyAfterAWrite)
{
    controller.session().settings().verify = false; // the write's own completion, without the read-back
    controller.session().script().PendingCompare = true;
    controller.session().catalogue().chip.ChipKind = "ID_UNKNOWN"; // the compare started by the completion goes nowhere
    controller.session().runner().WMOpProgress(std::bit_cast<uint32_t>(0.5f), WriteFinished);
    EXPECT_EQ(view.log.front().first, "Writing completed,\nWriting time 0.5 sec.");
}

TEST_F(Runner, FaultsAreRedAndKeepTheBar)
{
    controller.session().runner().WMOpFault(35);
    EXPECT_EQ(view.lastLog(), "Error in block 35 (0x000023)");
    EXPECT_EQ(view.log.back().second, LogColour::Red);
    EXPECT_EQ(view.progress, 5);
    EXPECT_FALSE(controller.busy());

    controller.ActivateControls(Busy);
    controller.session().runner().WMOpFault(-1);
    EXPECT_EQ(view.lastLog(), "Erase error");
}

TEST_F(Runner, BlankCheckNamesTheFirstByteThatIsNotErased)
{
    std::vector<uint8_t> image(8192, 0xFF);
    image[4096] = 0x7F;
    image[5000] = 0x00;
    controller.session().catalogue().chip.ChipKind = "ID_SPI1";
    controller.session().completion().HexEditorUpdate(image, 8192, true, false);
    EXPECT_EQ(view.lastLog(), "Blank check error at the address: 4096 (0x001000)");
    EXPECT_TRUE(EditorBytes(controller).empty()); // the buffer is not touched
}

TEST_F(Runner, BrgFormatCarriesTheStatusRegistersOfAnSpiChip)
{
    const std::vector<uint8_t> image(16, 0x11);
    controller.session().document().StatusShadow = {0x1C, 0x02, 0x60};
    controller.session().catalogue().chip.ChipKind = "ID_SPI1";
    controller.MmBinClick(1);
    controller.session().completion().HexEditorUpdate(image, 16, false, false);
    ASSERT_EQ(EditorBytes(controller).size(), 19u);
    EXPECT_EQ(EditorBytes(controller)[16], 0x1C);
    EXPECT_EQ(EditorBytes(controller)[18], 0x60);

    controller.session().catalogue().chip.ChipKind = "ID_24C02"; // an I2C chip never carries them
    controller.session().completion().HexEditorUpdate(image, 16, false, false);
    EXPECT_EQ(EditorBytes(controller).size(), 16u);
}
