// Dump files through the main window's commands.
#include "FlowFixture.h"

#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

namespace {
void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
}

class Files : public Flow {
protected:
    QString path(const char* name) const { return folder.filePath(name); }
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

// A name typed with a dump extension is written as typed; a bare name gets the format's.
TEST_F(Files, SaveAsKeepsATypedExtensionAndTheTypedBytes)
{
    insertChip(Chip("24C02", "ID_24C02", 256, 8));
    for (const char* name : {"dump.bin", "dump"}) {
        SetEditorBytes(controller, std::vector<uint8_t>(256, 0x00));
        controller.session().document().editor().writeByte(7, 0xA5); // typed into the view
        view.savePath = path(name);
        view.saveFormat = FileCommands::Format::Bin;
        EXPECT_TRUE(controller.ActSaveExecute());
        QFile saved(path(name == std::string("dump") ? "dump.BIN" : name));
        ASSERT_TRUE(saved.open(QIODevice::ReadOnly)) << name;
        const QByteArray bytes = saved.readAll();
        ASSERT_EQ(bytes.size(), 256);
        EXPECT_EQ(uint8_t(bytes[7]), 0xA5);
    }
    EXPECT_FALSE(QFile::exists(path("dump.bin.BIN")));
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

TEST_F(Files, FillWorksOnTheImageAndSwapOnWhatTheEditorShows)
{
    insertChip(Chip("T4", "ID_24C01", 4, 4));
    controller.FillBufClick(0x0A);
    EXPECT_EQ(EditorBytes(controller), std::vector<uint8_t>(4, 0x0A));
    EXPECT_TRUE(controller.statusBar().bufferModified);

    // After a compare the transfer buffer holds the chip's bytes; the editor still holds file A.
    SetEditorBytes(controller, {0x11, 0x22, 0x33, 0x44});
    const uint8_t chip[] = {0xAA, 0xBB, 0xCC, 0xDD};
    std::copy(std::begin(chip), std::end(chip), controller.session().document().transfer().begin());
    controller.HexEditorChange(false);
    controller.MmSwapClick();
    EXPECT_EQ(EditorBytes(controller), (std::vector<uint8_t>{0x22, 0x11, 0x44, 0x33}));
    EXPECT_TRUE(controller.statusBar().bufferModified);
    EXPECT_EQ(controller.session().document().transfer()[0], 0xAA); // the chip's image is left alone
    ASSERT_TRUE(controller.session().document().editor().undo());   // one step of the editor's undo
    EXPECT_EQ(EditorBytes(controller), (std::vector<uint8_t>{0x11, 0x22, 0x33, 0x44}));
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

// A file that cannot be used is refused in red and changes nothing: not the editor, not the
// current file, not the recent list. Bad HEX records name their line; a pipe never blocks.
TEST_F(Files, AFileThatCannotBeUsedChangesNothing)
{
    insertChip(Chip("T4", "ID_24C01", 4, 4));
    const QString fixtures = QStringLiteral(VESPERA_HOSTILE_FIXTURES);
    const QString fifo = path("pipe.bin");
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    const struct {
        QString file;
        FileCommands::Format format;
        QString start; // the line begins with it and the file's path
    } cases[] = {
        {fixtures + "/badchecksum.hex", FileCommands::Format::Hex, "The file "},
        {fixtures + "/count_too_big.hex", FileCommands::Format::Hex, "The file "},
        {fixtures + "/bad_header_reuse.hex", FileCommands::Format::Hex, "The file "},
        {path("missing.hex"), FileCommands::Format::Hex, "Cannot open the file "},
        {fifo, FileCommands::Format::Bin, "Cannot open "},
        {fifo, FileCommands::Format::Hex, "Cannot open "},
        {fifo, FileCommands::Format::E2p, "Cannot open "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        SetEditorBytes(controller, {1, 2, 3, 4});
        controller.session().document().CurrentFileName = "before.bin";
        view.log.clear();
        view.openPath = c.file;
        view.openFormat = c.format;
        controller.ActOpenExecute();
        ASSERT_FALSE(view.log.empty());
        EXPECT_EQ(view.log.back().second, LogColour::Red);
        EXPECT_TRUE(view.lastLog().startsWith(c.start + c.file)) << view.lastLog().toStdString();
        EXPECT_TRUE(view.lastLog().contains(QFileInfo(c.file).fileName()));
        EXPECT_EQ(EditorBytes(controller), (std::vector<uint8_t>{1, 2, 3, 4}));
        EXPECT_EQ(controller.session().document().CurrentFileName, "before.bin");
        EXPECT_TRUE(controller.recentFiles().paths().isEmpty());
    }
    controller.LoadForwardedFile(fifo); // the command line and a second start refuse it as well
    EXPECT_EQ(view.log.back().second, LogColour::Red);

    view.log.clear();
    view.openPath = fixtures + "/noend.hex"; // loads, with a warning
    view.openFormat = FileCommands::Format::Hex;
    controller.ActOpenExecute();
    EXPECT_TRUE(std::any_of(view.log.begin(), view.log.end(),
                            [](const auto& e) { return e.first.contains("has no end record"); }));
    EXPECT_EQ(controller.recentFiles().paths().size(), 1);
}
