// What the window shows of the runner: elapsed times, dump names, the editor's register bytes.
#include "EditorAccess.h"
#include "RecordingView.h"
#include "app/MainController.h"
#include "session/AppPaths.h"
#include "session/DumpFileName.h"
#include "session/ElapsedText.h"

#include <QFile>
#include <QTemporaryDir>
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
        controller.session().catalogue().chip.family = chipdb::Family::I2c24;
        controller.session().catalogue().chip.name = "24C02";
        controller.session().catalogue().chip.size = 16;
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

TEST_F(Runner, BrgFormatCarriesTheStatusRegistersOfAnSpiChip)
{
    controller.session().document().StatusShadow = {0x1C, 0x02, 0x60};
    controller.session().catalogue().chip.family = chipdb::Family::Spi25;
    const std::span<uint8_t> image = controller.session().document().transfer();
    std::fill_n(image.begin(), 16, 0x11);
    controller.MmBinClick(1);
    controller.session().loadEditorFromTransfer();
    ASSERT_EQ(EditorBytes(controller).size(), 19u);
    EXPECT_EQ(EditorBytes(controller)[16], 0x1C);
    EXPECT_EQ(EditorBytes(controller)[18], 0x60);

    controller.session().catalogue().chip.family = chipdb::Family::I2c24; // an I2C chip never carries them
    controller.session().loadEditorFromTransfer();
    EXPECT_EQ(EditorBytes(controller).size(), 16u);
}
