// Dump files through the main window's commands.
#include "FlowFixture.h"

#include <QFile>

namespace {
void WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
}

class Files : public Flow {
protected:
    QString path(const char *name) const { return folder.filePath(name); }
};
} // namespace

TEST_F(Files, LongerBinIsCutToTheChipAndReported)
{
    insertChip(Chip("24C02", "ID_24C02", 256, 8));
    WriteBytes(path("big.bin"), QByteArray(300, '\x5A'));
    view.openPath = path("big.bin");
    controller.ActOpenExecute();
    ASSERT_EQ(view.log.size(), 3u);
    EXPECT_EQ(view.log[0].first, "\nLoaded file big.bin 300 bytes");
    EXPECT_EQ(view.log[1].first, "File size differs from size of the device!");
    EXPECT_EQ(view.log[1].second, LogColour::Red);
    EXPECT_TRUE(view.log[2].first.startsWith("Check Sum: "));
    EXPECT_EQ(EditorBytes(controller), std::vector<uint8_t>(256, 0x5A));
    EXPECT_EQ(controller.recentFiles().paths(), QStringList{path("big.bin")});
}

TEST_F(Files, BrgRestoresTheStatusRegisters)
{
    insertChip(Chip("W25X05", "ID_SPI1", 16, 16, "EF3010"));
    QByteArray file(16, '\x11');
    file += QByteArray("\x9C\x02\x40", 3);
    WriteBytes(path("regs.brg"), file);
    view.openPath = path("regs.brg");
    view.openFormat = FileCommands::Format::Bin; // the BIN entry: the extension decides
    controller.ActOpenExecute();
    EXPECT_EQ(controller.session().document().CurrentFileExt, ".BRG");
    EXPECT_EQ(view.log.size(), 2u); // no size line
    EXPECT_EQ(controller.session().document().StatusShadow.SR, (std::array<uint8_t, 3>{0x9C, 0x02, 0x40}));
    EXPECT_EQ(EditorBytes(controller).size(), 19u);
}

TEST_F(Files, SaveAsAppendsTheFormatsExtensionAndKeepsTypedBytes)
{
    insertChip(Chip("24C02", "ID_24C02", 256, 8));
    SetEditorBytes(controller, std::vector<uint8_t>(256, 0x00));
    controller.session().document().editor().writeByte(7, 0xA5); // typed into the view
    view.savePath = path("dump.bin");
    view.saveFormat = FileCommands::Format::Bin;
    controller.ActSaveExecute();
    QFile saved(path("dump.bin.BIN"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray bytes = saved.readAll();
    ASSERT_EQ(bytes.size(), 256);
    EXPECT_EQ(uint8_t(bytes[7]), 0xA5);
}

TEST_F(Files, NothingIsLoadedWhileAnOperationOwnsTheBuffers)
{
    insertChip(Chip("24C02", "ID_24C02", 256, 8));
    WriteBytes(path("a.bin"), QByteArray(256, '\x01'));
    SetEditorBytes(controller, std::vector<uint8_t>(256, 0xEE));
    controller.ActivateControls(Busy);
    controller.DropFiles({path("a.bin")});
    EXPECT_EQ(EditorBytes(controller), std::vector<uint8_t>(256, 0xEE));
    EXPECT_EQ(view.log.back().second, LogColour::Red);
    EXPECT_TRUE(controller.recentFiles().paths().isEmpty());
}

TEST_F(Files, FillAndSwapWorkOnTheImageAndKeepTheMarkInStep)
{
    insertChip(Chip("T4", "ID_24C01", 4, 4));
    controller.FillBufClick(0x0A);
    EXPECT_EQ(EditorBytes(controller), std::vector<uint8_t>(4, 0x0A));
    EXPECT_TRUE(controller.statusBar().bufferModified);

    const uint8_t bytes[] = {0x11, 0x22, 0x33, 0x44};
    std::copy(std::begin(bytes), std::end(bytes), controller.session().document().transfer().begin());
    controller.HexEditorChange(false);
    controller.MmSwapClick();
    EXPECT_EQ(EditorBytes(controller), (std::vector<uint8_t>{0x22, 0x11, 0x44, 0x33}));
    EXPECT_TRUE(controller.statusBar().bufferModified);
    controller.MmSwapClick();
    EXPECT_EQ(EditorBytes(controller), (std::vector<uint8_t>{0x11, 0x22, 0x33, 0x44}));
    EXPECT_FALSE(controller.statusBar().bufferModified);
}

// The desktop opens a dump file by naming it on the command line (or forwarding it to the running
// window): its extension decides the format, as for a dropped file.
TEST_F(Files, AFileOpenedFromTheDesktopLoadsByItsExtension)
{
    insertChip(Chip("T4", "ID_24C01", 4, 4));
    WriteBytes(path("fw.hex"), ":0400000001020304F2\r\n:00000001FF\r\n");
    controller.LoadForwardedFile(path("fw.hex"));
    EXPECT_EQ(EditorBytes(controller), (std::vector<uint8_t>{0x01, 0x02, 0x03, 0x04}));
    EXPECT_EQ(controller.session().document().CurrentFileName, path("fw.hex"));
}
