// The Emulator menu as a user drives it: it is there only on the emulated adapter, it pulls the
// adapter out and plugs it in, swaps the chip in the socket, arms each fault for the next
// operation and writes the bus log to a file.
#include "ShownWindow.h"
#include "session/Language.h"
#include "ui/mainwindow/EmulatedChipDialog.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QTextBlock>

namespace {
class EmulatorWindow : public ShownWindow {
protected:
    void SetUp() override { emulation.fast = true; }

    QMenu* emulatorMenu() const { return qobject_cast<QMenu*>(window->component("MmEmulator")); }
    bool enabled(const char* name) const { return item(name)->isEnabled(); }
    bool logHas(const QString& text) const { return log()->toPlainText().contains(text); }

    // The log lines written in red.
    QStringList redLines() const
    {
        QStringList lines;
        for (QTextBlock block = log()->document()->begin(); block.isValid(); block = block.next()) {
            const auto formats = block.textFormats();
            if (!formats.isEmpty() && formats.first().format.foreground().color() == QColor(255, 0, 0))
                lines << block.text();
        }
        return lines;
    }

    // Puts `chip` (empty: none) into the socket through the dialog, typing part of its name.
    void putChip(const QString& chip)
    {
        AnswerModal<EmulatedChipDialog>([chip](EmulatedChipDialog* dialog) {
            QTest::keyClicks(dialog->filterField(), chip.isEmpty() ? Localized("empty", "пуст") : chip);
            QTest::keyClick(dialog->filterField(), Qt::Key_Return);
        });
        item("MmEmuChip")->trigger();
    }

    void runToTheEnd(const char* command)
    {
        item(command)->trigger();
        ASSERT_TRUE(RunUntil([this] { return !window->controller().busy(); }, 20000)) << command;
    }
};
} // namespace

TEST_F(EmulatorWindow, MenuIsThereOnlyOnTheEmulatedAdapterInEitherLanguage)
{
    const struct {
        QByteArray language;
        QString menu, unplug;
    } cases[] = {{"1", "E&mulator", "&Unplug adapter"}, {"0", "&Эмулятор", "&Отключить адаптер"}};
    for (const auto& c : cases) {
        start("[Lang]\nId=" + c.language + "\n");
        EXPECT_TRUE(emulatorMenu()->menuAction()->isVisible());
        EXPECT_EQ(emulatorMenu()->title(), c.menu);
        EXPECT_EQ(item("MmEmuUnplug")->text(), c.unplug);
    }
    TFMain real{StartupOptions{}};
    EXPECT_FALSE(qobject_cast<QMenu*>(real.component("MmEmulator"))->menuAction()->isVisible());
}

TEST_F(EmulatorWindow, UnplugAndPlugGoThroughTheHotPlugPath)
{
    start("[Lang]\nId=1\n", "W25X20");
    EXPECT_TRUE(enabled("MmEmuUnplug"));
    EXPECT_FALSE(enabled("MmEmuPlug"));

    log()->clear();
    item("MmEmuUnplug")->trigger();
    ASSERT_TRUE(RunUntil([this] { return logHas("CH341 programmer removed"); }));
    EXPECT_FALSE(enabled("MmEmuUnplug"));
    EXPECT_TRUE(enabled("MmEmuPlug"));
    EXPECT_FALSE(enabled("SBRead"));
    EXPECT_TRUE(emulatorMenu()->menuAction()->isEnabled()); // so that the adapter can come back
    EXPECT_EQ(window->controller().statusBar().adapterHandle, -1);

    item("MmEmuPlug")->trigger();
    ASSERT_TRUE(RunUntil([this] { return logHas("CH341 programmer detected"); }));
    EXPECT_TRUE(enabled("MmEmuUnplug"));
    EXPECT_FALSE(enabled("MmEmuPlug"));
    EXPECT_TRUE(enabled("SBRead"));
    EXPECT_NE(window->controller().statusBar().adapterHandle, -1);
    EXPECT_TRUE(redLines().isEmpty()) << redLines().join('|').toStdString();
}

TEST_F(EmulatorWindow, PutChipChangesWhatTheAdapterCarries)
{
    start("[Lang]\nId=1\n", "W25Q64FV");
    putChip("W25X20");
    EXPECT_TRUE(logHas("Emulator: an erased W25X20 is in the socket"));
    runToTheEnd("SBId");
    EXPECT_TRUE(logHas("JEDEC ID(9F) = 0xEF3012")) << log()->toPlainText().toStdString();

    // A 24xx chip: only now does the I2C fault apply.
    EXPECT_FALSE(enabled("MmEmuFaultNak"));
    putChip("24C02");
    EXPECT_TRUE(enabled("MmEmuFaultNak"));

    // Nothing in the socket: a read of the selected 24C02 fails in red.
    putChip({});
    EXPECT_TRUE(logHas("Emulator: the socket is empty"));
    ChipCatalogue& catalogue = window->controller().session().catalogue();
    ASSERT_TRUE(catalogue.locate("24C02"));
    window->controller().SetParams();
    runToTheEnd("SBRead");
    EXPECT_FALSE(redLines().isEmpty());
    EXPECT_FALSE(logHas("Reading completed"));
}

TEST_F(EmulatorWindow, EscClosesTheChipDialogAndLeavesTheSocketAlone)
{
    start("[Lang]\nId=1\n", "W25X20");
    AnswerModal<EmulatedChipDialog>([](EmulatedChipDialog* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
    item("MmEmuChip")->trigger();
    EXPECT_EQ(window->controller().session().emulator().chipInSocket(), "W25X20");
    EXPECT_FALSE(logHas("Emulator:"));
}

// Each fault armed from the menu ends the next operation in red, in its own time, with the
// buffer as it was.
TEST_F(EmulatorWindow, EveryFaultFromTheMenuEndsTheNextOperationInRed)
{
    const struct {
        const char *item, *chip;
        int packets;
        const char *command, *line;
    } cases[] = {
        {"MmEmuFaultUsb", "W25X20", 40, "SBWrite", "Error writing at address"},
        {"MmEmuFaultNak", "24C02", 20, "SBWrite", "Error in block"},
        {"MmEmuFaultBusy", "W25X20", 40, "SBWrite", "Error writing at address"},
        {"MmEmuFaultPulled", "W25X20", 40, "SBRead", "Error reading at address"},
        {"MmEmuFaultCorrupt", "W25X20", 40, "SBCompare", "Differences"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.item);
        start("[Lang]\nId=1\n", c.chip);
        Session& session = window->controller().session();
        std::vector<uint8_t> pattern(session.chip().size);
        for (std::size_t i = 0; i < pattern.size(); ++i) pattern[i] = uint8_t(i * 7 + 1);
        if (std::string_view(c.command) == "SBCompare")
            std::copy(pattern.begin(), pattern.end(), session.adapter().Emulator->memory().begin());
        // A read first: a write then knows the flash is erased, and the fault strikes its pages.
        if (std::string_view(c.command) == "SBWrite" && session.isSpiChip()) runToTheEnd("SBRead");
        session.document().editor().load(pattern);

        AnswerModal<QInputDialog>([&c](QInputDialog* dialog) {
            EXPECT_EQ(dialog->intValue(), 32);
            dialog->setIntValue(c.packets);
            dialog->accept();
        });
        item(c.item)->trigger();
        EXPECT_TRUE(logHas(QStringLiteral("USB packets before it: %1").arg(c.packets)));
        log()->clear();
        runToTheEnd(c.command);
        const QStringList red = redLines();
        EXPECT_TRUE(std::any_of(red.begin(), red.end(), [&](const QString& r) { return r.startsWith(c.line); }))
            << log()->toPlainText().toStdString();
        EXPECT_FALSE(logHas("Reading completed") || logHas("Writing completed")) << log()->toPlainText().toStdString();
        const std::span<const uint8_t> buffer = session.document().bytes();
        EXPECT_TRUE(std::equal(buffer.begin(), buffer.end(), pattern.begin(), pattern.end()));
    }
}

// The adapter unplugged in the middle of a read: the read ends in red and the controls stay busy
// until it has; then they are those of a missing adapter, until it is plugged back in.
TEST_F(EmulatorWindow, UnplugInTheMiddleOfAReadEndsItBeforeTheControlsChange)
{
    start("[Lang]\nId=1\n", "W25Q64FV");
    Session& session = window->controller().session();
    item("SBRead")->trigger();
    ASSERT_TRUE(RunUntil([this] { return window->controller().session().runner().progressPosition() > 4; }));
    item("MmEmuUnplug")->trigger();
    ASSERT_TRUE(RunUntil([this] { return logHas("CH341 programmer removed"); }));
    EXPECT_TRUE(session.busy() || !session.runner().running());
    ASSERT_TRUE(RunUntil([&session] { return !session.busy(); }, 20000));
    EXPECT_FALSE(session.runner().running());
    EXPECT_FALSE(redLines().isEmpty());
    EXPECT_FALSE(logHas("Reading completed"));
    EXPECT_FALSE(item("SBRead")->isEnabled());

    item("MmEmuPlug")->trigger();
    ASSERT_TRUE(RunUntil([this] { return item("SBRead")->isEnabled(); }));
}

// Closing the window in the middle of a read stops the read as Esc would, and the window goes
// only once its worker has ended.
TEST_F(EmulatorWindow, ClosingTheWindowStopsTheRunningReadFirst)
{
    start("[Lang]\nId=1\n", "W25Q64FV");
    item("SBRead")->trigger();
    ASSERT_TRUE(RunUntil([this] { return window->controller().session().runner().progressPosition() > 4; }));
    window->close();
    EXPECT_FALSE(window->controller().session().runner().running());
    EXPECT_TRUE(logHas("Reading terminated by user"));
}

TEST_F(EmulatorWindow, ClearedFaultNeverStrikes)
{
    start("[Lang]\nId=1\n", "W25X20");
    AnswerModal<QInputDialog>([](QInputDialog* dialog) { dialog->accept(); });
    item("MmEmuFaultUsb")->trigger();
    item("MmEmuFaultClear")->trigger();
    log()->clear();
    runToTheEnd("SBRead");
    EXPECT_TRUE(redLines().isEmpty()) << redLines().join('|').toStdString();
    EXPECT_TRUE(logHas("Reading completed"));
}

TEST_F(EmulatorWindow, BusLogGoesToTheChosenFileUntilStopped)
{
    start("[Lang]\nId=1\n", "W25X20");
    const QString path = folder.filePath("bus.txt");
    AnswerModal<QFileDialog>([path](QFileDialog* dialog) {
        dialog->selectFile(path);
        static_cast<QDialog*>(dialog)->accept(); // as the dialog's own button does
    });
    item("MmEmuLog")->trigger();
    EXPECT_TRUE(item("MmEmuLog")->isChecked());
    runToTheEnd("SBId");
    item("MmEmuLog")->trigger();
    EXPECT_FALSE(item("MmEmuLog")->isChecked());
    EXPECT_TRUE(logHas("Emulator: the bus log is closed"));

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains("SPI  9F 00 00 00 -> FF EF 30 12")) << text.toStdString();
    EXPECT_TRUE(text.contains("USB>"));
}
