// The first showing of the main window with a chip database, and the adapter's hot-plug events.
#include "FlowFixture.h"
#include "chipdb/ChipListFile.h"

namespace {
class Startup : public ::testing::Test {
protected:
    QTemporaryDir folder;
    RecordingView view;

    void SetUp() override { AppPaths::SetProgramFolder(folder.path()); }

    void writeDatabase()
    {
        chipdb::ChipTable table;
        table.assign({Chip("24C02", "ID_24C02", 256, 8), Chip("W25Q80", "ID_SPI1", 1048576, 256, "EF4014")});
        chipdb::ChipListSaver saver(folder.filePath("ChipList.dat").toStdString());
        ASSERT_TRUE(saver.open());
        ASSERT_EQ(saver.write(46000, 7, table), 0);
    }

    QStringList log() const
    {
        QStringList texts;
        for (const auto& entry : view.log) texts << entry.first;
        return texts;
    }
};
} // namespace

TEST_F(Startup, LoadsTheDatabaseOpensTheAdapterAndSelectsTheChip)
{
    writeDatabase();
    StartupOptions options;
    options.emulation.on = true;
    options.emulation.chip = "24C02";
    MainController controller(view, options);
    controller.FormCreate();
    controller.FormShow();
    const QStringList lines = log();
    ASSERT_GE(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith("ChipList.dat version: ") && lines[0].endsWith(".7")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith("CH341 programmer detected,\nI2C bus frequency 20KHz\nI2C Slave Address = 0xA0"));
    EXPECT_TRUE(lines[2].startsWith("Selected device: 24C02,Capacity: 256x8\n"));
    EXPECT_EQ(controller.session().catalogue().chip.size, 256u);
    EXPECT_EQ(EditorBytes(controller), std::vector<uint8_t>(256, 0xFF));
    EXPECT_FALSE(controller.busy());
    EXPECT_FALSE(view.visible.value("SpiPanel", true)); // an I2C chip hides the SPI buttons

    view.log.clear();
    controller.session().adapter().Emulator->unplug();
    ASSERT_TRUE(RunUntil([&] { return !view.log.empty(); }));
    EXPECT_EQ(view.lastLog(), "CH341 programmer removed\n");
    EXPECT_EQ(view.status.adapterHandle, -1);
    EXPECT_FALSE(view.enabled.value("SBRead", true));

    controller.session().adapter().Emulator->plug();
    ASSERT_TRUE(RunUntil([&] { return view.log.size() >= 2; }));
    EXPECT_TRUE(view.lastLog().startsWith("CH341 programmer detected,"));
    EXPECT_NE(view.status.adapterHandle, -1);
    EXPECT_TRUE(view.enabled.value("SBRead"));
}

TEST_F(Startup, WithoutTheDatabaseNothingElseStarts)
{
    StartupOptions options;
    options.emulation.on = true;
    options.file = folder.filePath("dump.bin");
    MainController controller(view, options);
    controller.FormCreate();
    controller.FormShow();
    EXPECT_EQ(view.messages, QStringList{QString::fromUtf8("Файл ChipList.dat не удается открыть")});
    EXPECT_TRUE(view.log.empty());           // no adapter, no command-line file
    EXPECT_EQ(view.status.adapterHandle, 0); // the lamp stays green
    EXPECT_TRUE(EditorBytes(controller).empty());
}
