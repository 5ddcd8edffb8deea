// The dump file dialogs of the main window, driven as a user drives them: each filter chooses its
// format, the dialogs reopen on the filter used last, and what the window saves it loads back.
#include "ShownWindow.h"
#include "buffer/Crc.h"
#include "ui/hexview/HexView.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
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

namespace {
// Types `name` into the next file dialog's name field under filter `entry` and accepts it as the
// dialog's own button does (Qt's dialog asks about replacing a file it knows); `then` runs after.
void TypeInNextDialog(int entry, const QString& name, std::function<void()> then = {})
{
    AnswerModal<QFileDialog>([entry, name, then](QFileDialog* dialog) {
        dialog->selectNameFilter(dialog->nameFilters().at(entry));
        auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(field, nullptr);
        field->setText(name);
        static_cast<QDialog*>(dialog)->accept(); // as the dialog's own button does
        if (then) then();
    });
}

// The question about an edited buffer: its buttons, and the one the user presses.
struct SaveQuestion {
    explicit SaveQuestion(QMessageBox::StandardButton button) : press(button) {}
    QMessageBox::StandardButton press;
    QMessageBox::StandardButtons buttons{};
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QString text;
    int asked = 0;
};

void AnswerSaveQuestion(SaveQuestion& question)
{
    AnswerModal<QMessageBox>([&question](QMessageBox* box) {
        ++question.asked;
        question.text = box->text();
        question.buttons = box->standardButtons();
        question.defaultButton = box->standardButton(box->defaultButton());
        box->button(question.press)->click();
    });
}
} // namespace

// A name typed with a dump extension, in any letter case, is the file written; only a bare name
// gets the filter's extension. A typed extension of another format than the filter's decides.
TEST_F(DumpDialogs, SaveAsAddsTheFiltersExtensionOnlyToABareName)
{
    const std::vector<uint8_t> chip = Pattern(256);
    window->hexEditor()->load(chip);
    WriteFile(path("out2.BIN"), "keep");
    const struct {
        int entry;
        const char* typed;
        const char* written;
        bool hex;
        bool qtAsksToReplace;
    } cases[] = {
        {0, "out1.bin", "out1.bin", false, false}, {0, "out2.BIN", "out2.BIN", false, true},
        {0, "out3.hex", "out3.hex", true, false},  {1, "out4", "out4.HEX", true, false},
        {2, "out5.Brg", "out5.Brg", false, false},
    };
    for (const auto& c : cases) {
        TypeInNextDialog(c.entry, path(c.typed));
        int questions = 0;
        if (c.qtAsksToReplace) // Qt's own question; the program must not ask a second time
            AnswerModal<QMessageBox>([&questions](QMessageBox* box) {
                ++questions;
                box->button(QMessageBox::Yes)->click();
            });
        item("SBSave")->trigger();
        if (c.qtAsksToReplace) EXPECT_EQ(questions, 1) << c.typed;
        const QByteArray written = ReadFile(path(c.written));
        ASSERT_FALSE(written.isEmpty()) << c.typed;
        if (c.hex)
            EXPECT_TRUE(written.startsWith(":02000004")) << c.typed;
        else
            EXPECT_EQ(Bytes(written), chip) << c.typed;
    }
    // Nothing with a doubled extension was written.
    for (const QString& file : QDir(folder.path()).entryList(QDir::Files))
        EXPECT_EQ(file.count(QLatin1Char('.')), 1) << file.toStdString();
}

// Opening a file over an edited buffer asks as Exit does; Cancel keeps the buffer, Discard opens,
// Save saves first and opens only once the buffer is saved.
TEST_F(DumpDialogs, OpeningOverAnEditedBufferAsksFirst)
{
    WriteFile(path("a.bin"), QByteArray(256, '\x11'));
    HexView* hex = window->hexEditor();
    auto typeByte = [hex] {
        hex->setFocus();
        hex->setSelection(0, 0);
        QTest::keyClicks(hex, "5A");
    };
    typeByte();
    ASSERT_EQ(hex->bytes()[0], 0x5A);
    ASSERT_TRUE(window->controller().statusBar().bufferModified);

    SaveQuestion cancel(QMessageBox::Cancel);
    AnswerSaveQuestion(cancel);
    item("SBOpen")->trigger();
    EXPECT_EQ(cancel.asked, 1);
    EXPECT_EQ(cancel.text, "Buffer was modified, save changes?");
    EXPECT_EQ(cancel.buttons, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    EXPECT_EQ(cancel.defaultButton, QMessageBox::Save);
    EXPECT_EQ(hex->bytes()[0], 0x5A); // no file dialog came, nothing was loaded

    // Save, but the save dialog is cancelled: nothing is opened.
    SaveQuestion saveCancelled(QMessageBox::Save);
    AnswerSaveQuestion(saveCancelled);
    AnswerModal<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    item("SBOpen")->trigger();
    EXPECT_EQ(hex->bytes()[0], 0x5A);

    // Save into kept.BIN, then the open dialog: the file holds the typed byte, the buffer a.bin.
    SaveQuestion save(QMessageBox::Save);
    AnswerSaveQuestion(save);
    Pick open{0, path("a.bin"), {}};
    TypeInNextDialog(0, path("kept"), [&open] { PickInNextDialog(open); });
    item("SBOpen")->trigger();
    const QByteArray kept = ReadFile(path("kept.BIN"));
    ASSERT_EQ(kept.size(), 256);
    EXPECT_EQ(uint8_t(kept.at(0)), 0x5A);
    EXPECT_EQ(editorBytes(), std::vector<uint8_t>(256, 0x11));
    EXPECT_FALSE(window->controller().statusBar().bufferModified);

    typeByte();
    SaveQuestion discard(QMessageBox::Discard);
    AnswerSaveQuestion(discard);
    Pick again{0, path("a.bin"), {}};
    PickInNextDialog(again);
    item("SBOpen")->trigger();
    EXPECT_EQ(editorBytes(), std::vector<uint8_t>(256, 0x11));
}

// Exit asks the same question, with Cancel: the window stays, and closes on Discard.
TEST_F(DumpDialogs, ExitOverAnEditedBufferCanBeCancelled)
{
    window->hexEditor()->setFocus();
    QTest::keyClicks(window->hexEditor(), "5A");
    SaveQuestion cancel(QMessageBox::Cancel);
    AnswerSaveQuestion(cancel);
    item("MmExit")->trigger();
    EXPECT_EQ(cancel.asked, 1);
    EXPECT_EQ(cancel.buttons, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    EXPECT_TRUE(window->isVisible());

    SaveQuestion discard(QMessageBox::Discard);
    AnswerSaveQuestion(discard);
    item("MmExit")->trigger();
    EXPECT_FALSE(window->isVisible());
}

// Fill Buffer is one step of Undo, like typing.
TEST_F(DumpDialogs, FillBufferIsUndoneInOneStep)
{
    const std::vector<uint8_t> chip = Pattern(256);
    window->hexEditor()->load(chip);
    item("MmFillBufer")->trigger();
    auto* fill = window->findChild<QLineEdit*>(QStringLiteral("EFill"));
    ASSERT_TRUE(fill && fill->isVisible());
    QTest::keyClicks(fill, "a5");
    QTest::keyClick(fill, Qt::Key_Return);
    EXPECT_EQ(editorBytes(), std::vector<uint8_t>(256, 0xA5));
    EXPECT_TRUE(window->controller().statusBar().bufferModified);
    ASSERT_TRUE(item("MmUndo")->isEnabled());
    item("MmUndo")->trigger();
    EXPECT_EQ(editorBytes(), chip);
    EXPECT_FALSE(window->controller().statusBar().bufferModified);
}
