// The dump file dialogs of the main window, driven as a user drives them: each filter chooses its
// format, the dialogs reopen on the filter used last, and what the window saves it loads back.
#include "ShownWindow.h"
#include "buffer/Crc.h"
#include "ui/hexview/HexView.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>
#include <vector>

namespace {
using Format = FileCommands::Format;

// What the dialog showed when it opened, then the filter entry and the file the user picks.
struct Pick {
    int entry;
    QString file;
    QString shownFilter; // filled in: the filter the dialog opened on
};

void PickInNextDialog(Pick& pick)
{
    AnswerModal<QFileDialog>([&pick](QFileDialog* dialog) {
        pick.shownFilter = dialog->selectedNameFilter();
        dialog->selectNameFilter(dialog->nameFilters().at(pick.entry));
        dialog->selectFile(pick.file);
        static_cast<QDialog*>(dialog)->accept(); // as the dialog's own button does
    });
}

std::vector<uint8_t> Pattern(std::size_t size)
{
    std::vector<uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = uint8_t(i * 37 + 11);
    return bytes;
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A PonyProg dump: the 152-byte header with both CRCs, then the chip bytes.
QByteArray E2pFile(const std::vector<uint8_t>& data)
{
    QByteArray file("E2P!Lanc");
    file.resize(152, '\0');
    const uint16_t dataCrc = CRC16(data);
    file[148] = char(dataCrc & 0xFF);
    file[149] = char(dataCrc >> 8);
    const uint16_t headerCrc = CRC16(std::span(reinterpret_cast<const uint8_t*>(file.constData()), 150));
    file[150] = char(headerCrc & 0xFF);
    file[151] = char(headerCrc >> 8);
    file.append(reinterpret_cast<const char*>(data.data()), qsizetype(data.size()));
    return file;
}

std::vector<uint8_t> Bytes(const QByteArray& bytes)
{
    return {bytes.begin(), bytes.end()};
}

class DumpDialogs : public ShownWindow {
protected:
    void SetUp() override { start({}, QStringLiteral("24C02")); }
    QString path(const char* name) const { return folder.filePath(QLatin1String(name)); }
    std::vector<uint8_t> editorBytes() const
    {
        return {window->hexEditor()->bytes().begin(), window->hexEditor()->bytes().end()};
    }
};
} // namespace

TEST_F(DumpDialogs, EachFilterChoosesItsFormatAndTheDialogReopensOnIt)
{
    WriteFile(path("any.dump"), "x");
    using Ask = QString (TFMain::*)(Format*);
    const struct {
        Ask ask;
        int filterCount;
        const char* file;                          // a name the save dialog need not ask about replacing
        std::vector<std::pair<int, Format>> picks; // filter entry, the format it stands for
    } dialogs[] = {
        {&TFMain::askOpenFile,
         5,
         "any.dump",
         {{1, Format::E2p}, {2, Format::Hex}, {3, Format::Brg}, {4, Format::Bin}, {0, Format::Bin}}},
        {&TFMain::askSaveFile, 3, "saved", {{1, Format::Hex}, {2, Format::Brg}, {0, Format::Bin}}},
    };
    for (const auto& d : dialogs) {
        QStringList filters;
        AnswerModal<QFileDialog>([&filters](QFileDialog* dialog) {
            filters = dialog->nameFilters();
            dialog->reject();
        });
        Format format = Format::Hex;
        EXPECT_TRUE((window.get()->*d.ask)(&format).isEmpty());
        ASSERT_EQ(filters.size(), d.filterCount);
        QString previous = filters.first();
        for (const auto& [entry, expected] : d.picks) {
            Pick pick{entry, path(d.file), {}};
            PickInNextDialog(pick);
            EXPECT_EQ((window.get()->*d.ask)(&format), path(d.file));
            EXPECT_EQ(format, expected) << d.filterCount << ": " << entry;
            EXPECT_EQ(pick.shownFilter, previous) << d.filterCount << ": " << entry;
            previous = filters.at(entry);
        }
    }
}

// With the PonyProg filter the header stays out of the buffer: only the chip bytes load.
TEST_F(DumpDialogs, PonyProgDumpOpensWithoutItsHeader)
{
    const std::vector<uint8_t> chip = Pattern(256);
    WriteFile(path("24c02.e2p"), E2pFile(chip));
    Pick pick{1, path("24c02.e2p"), {}};
    PickInNextDialog(pick);
    item("SBOpen")->trigger();
    EXPECT_EQ(editorBytes(), chip);
    EXPECT_TRUE(log()->toPlainText().contains("Loaded file 24c02.e2p 256 bytes"));
}

TEST_F(DumpDialogs, IntelHexSavedFromTheWindowLoadsBackAndObjcopyReadsIt)
{
    const std::vector<uint8_t> chip = Pattern(256);
    window->hexEditor()->load(chip);
    Pick save{1, path("dump"), {}};
    PickInNextDialog(save);
    item("SBSave")->trigger();
    ASSERT_TRUE(QFile::exists(path("dump.HEX")));
    EXPECT_FALSE(QFile::exists(path("dump.BIN")));

    QProcess objcopy;
    objcopy.start(QStringLiteral("objcopy"), {"-I", "ihex", "-O", "binary", path("dump.HEX"), path("objcopy.bin")});
    ASSERT_TRUE(objcopy.waitForFinished()) << "objcopy (binutils) is needed";
    ASSERT_EQ(objcopy.exitCode(), 0) << objcopy.readAllStandardError().toStdString();
    EXPECT_EQ(Bytes(ReadFile(path("objcopy.bin"))), chip);

    window->hexEditor()->load(std::vector<uint8_t>(256, 0xFF));
    Pick open{2, path("dump.HEX"), {}};
    PickInNextDialog(open);
    item("SBOpen")->trigger();
    EXPECT_EQ(editorBytes(), chip);
}

// The dialog asked about the name typed; the file written carries the format's extension.
TEST_F(DumpDialogs, SavingOverAnExistingDumpAsksFirst)
{
    WriteFile(path("dump.BIN"), "keep");
    window->hexEditor()->load(Pattern(256));
    for (const bool replace : {false, true}) {
        Pick save{0, path("dump"), {}};
        PickInNextDialog(save);
        QString question;
        AnswerModal<QMessageBox>([&question, replace](QMessageBox* box) {
            question = box->text();
            box->button(replace ? QMessageBox::Yes : QMessageBox::No)->click();
        });
        item("SBSave")->trigger();
        EXPECT_TRUE(question.contains("dump.BIN")) << replace;
        EXPECT_EQ(ReadFile(path("dump.BIN")).size(), replace ? 256 : 4) << replace;
    }
}
