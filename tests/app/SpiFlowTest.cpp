// 25xx SPI chips from the buttons to the chip and back, on an emulated flash.
#include "FlowFixture.h"

#include <QRegularExpression>

namespace {
std::vector<uint8_t> Pattern(std::size_t size)
{
    std::vector<uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = uint8_t(i ^ (i >> 8));
    return bytes;
}

const chipdb::ChipRecord flash = Chip("W25X20", "ID_SPI1", 262144, 256, "EF3012");

class SpiFlow : public Flow {
protected:
    bool logHas(const QString& start) const
    {
        for (const auto& entry : view.log)
            if (entry.first.startsWith(start)) return true;
        return false;
    }
};
} // namespace

TEST_F(SpiFlow, AutoSelectChoosesTheChipByItsJedecId)
{
    insertChip(flash);
    controller.session().catalogue().ClientDataSet.assign(
        {Chip("MX25L2005", "ID_SPI1", 262144, 256, "C22012"), flash, Chip("24C02", "ID_24C02", 256, 8)});
    controller.session().catalogue().ClientDataSet.moveTo(2);
    controller.SetParams();
    controller.MmAutoSelClick();
    EXPECT_EQ(controller.session().catalogue().chip.name, "W25X20");
    EXPECT_TRUE(logHas("Selected device: W25X20"));
    EXPECT_EQ(view.chipLists, 0);

    // Several matches: the chip already selected stays when it is one of them, else the user picks.
    controller.session().catalogue().ClientDataSet.assign(
        {flash, Chip("W25X20-COPY", "ID_SPI1", 262144, 256, "EF3012"), Chip("24C02", "ID_24C02", 256, 8)});
    controller.MmAutoSelClick();
    EXPECT_EQ(view.chipLists, 0);
    EXPECT_EQ(controller.session().catalogue().chip.name, "W25X20");
    EXPECT_TRUE(logHas("Chip ID read: 0xEF3012; 2 chips of the database have it."));
    controller.session().catalogue().ClientDataSet.moveTo(2);
    controller.SetParams();
    controller.MmAutoSelClick();
    EXPECT_EQ(view.chipLists, 1);
}

TEST_F(SpiFlow, EraseBlankCheckWriteCompare)
{
    insertChip(flash);
    std::fill(emulator->memory().begin(), emulator->memory().end(), 0x00);
    view.answerYes = true;

    controller.MmSpiEraseClick();
    ASSERT_TRUE(finish());
    EXPECT_EQ(view.progressMaxima.mid(0, 2), (QList<int>{100, 128})); // the erase, then its check
    EXPECT_EQ(view.lastLog(), "Erasing completed.");
    EXPECT_TRUE(std::all_of(emulator->memory().begin(), emulator->memory().end(), [](uint8_t b) { return b == 0xFF; }));

    view.log.clear();
    controller.MmCheckFFClick();
    ASSERT_TRUE(finish());
    EXPECT_TRUE(logHas("Blank check completed,\nchecking time "));
    EXPECT_FALSE(logHas("Blank check error"));

    SetEditorBytes(controller, Pattern(262144));
    controller.MmWriteClick();
    ASSERT_TRUE(finish());
    EXPECT_TRUE(view.progressMaxima.contains(1024));
    EXPECT_TRUE(view.lastLog().startsWith("Writing completed,\nWriting time "));
    EXPECT_TRUE(chipHoldsTheEditor());

    view.log.clear();
    controller.MmCheckFFClick();
    ASSERT_TRUE(finish());
    EXPECT_TRUE(logHas("Blank check error at the address: 0 (0x000000)"));

    controller.MmCompareClick();
    ASSERT_TRUE(finish());
    EXPECT_TRUE(logHas("Differences 0"));
}

TEST_F(SpiFlow, ReadLogsTheStatusRegistersFirst)
{
    insertChip(flash, [](AdapterOptions& options) { options.chip.initialStatus = {0x1C, 0x02, 0x60}; });
    controller.session().catalogue().chip.statusRegisters = 2;
    controller.MmReadClick();
    ASSERT_TRUE(finish());
    EXPECT_EQ(view.log[0].first, "\nStatus Register1 = 0x1C\nStatus Register2 = 0x02");
    EXPECT_EQ(EditorBytes(controller).size(), 262144u);
}

TEST_F(SpiFlow, ProtectedChipKeepsItsDataUntilUnprotect)
{
    insertChip(flash, [](AdapterOptions& options) { options.chip.initialStatus = {0x1C, 0, 0}; });
    std::fill(emulator->memory().begin(), emulator->memory().end(), 0xFF);
    SetEditorBytes(controller, Pattern(262144));
    controller.MmWriteClick();
    ASSERT_TRUE(finish());
    controller.MmCompareClick();
    ASSERT_TRUE(finish());
    EXPECT_FALSE(logHas("Differences 0"));

    controller.MmUnprotectClick();
    view.log.clear();
    controller.MmWriteClick();
    ASSERT_TRUE(finish());
    controller.MmCompareClick();
    ASSERT_TRUE(finish());
    EXPECT_TRUE(logHas("Differences 0"));
}

TEST_F(SpiFlow, EscapeDuringALongEraseStopsWaitingForIt)
{
    insertChip(flash, [](AdapterOptions& options) {
        options.timeScale = 1;
        options.chip.chipEraseTime = std::chrono::seconds(30);
    });
    view.answerYes = true;
    controller.MmSpiEraseClick();
    ASSERT_TRUE(RunUntil([this] { return view.progress >= 2; }));
    controller.SBStopClick();
    ASSERT_TRUE(finish());
    EXPECT_TRUE(logHas("Erasing terminated by user."));
    EXPECT_EQ(view.lastLog(), "The chip goes on erasing by itself.");
}

TEST_F(SpiFlow, NoChipInTheSocketStopsTheCommand)
{
    insertChip(flash, [](AdapterOptions& options) {
        options.chip.jedecId.clear();
        options.chip.resId = {0xFF, 0xFF};
    });
    controller.MmReadClick();
    ASSERT_TRUE(finish());
    EXPECT_EQ(view.lastLog(), "\nDevice is defective or not installed!");
    EXPECT_EQ(view.log.back().second, LogColour::Red);
}

TEST_F(SpiFlow, StatusRegisterMenuItemsOpenTheDialogThenActAgain)
{
    insertChip(flash, [](AdapterOptions& options) { options.chip.initialStatus = {0x04, 0, 0}; });
    controller.MmRdStatRegClick();
    EXPECT_EQ(view.statusDialogs, 1);
    EXPECT_EQ(controller.session().document().StatusShadow.SR[0], 0x04);

    controller.session().document().StatusShadow.SR[0] = 0x00;
    controller.MmWrStatRegClick();
    controller.ReadStatusIntoShadow();
    EXPECT_EQ(controller.session().document().StatusShadow.SR[0], 0x00);
}

TEST_F(SpiFlow, ScriptRunsEveryStepAndStaysBusyToTheEnd)
{
    insertChip(flash);
    std::fill(emulator->memory().begin(), emulator->memory().end(), 0x00);
    SetEditorBytes(controller, Pattern(262144));
    view.answerYes = true;
    for (const char* item : {"ScErase", "ScCheckFF", "ScWrite", "ScCompare"}) view.checked[item] = true;
    controller.ScRunClick();
    ASSERT_TRUE(finish());
    const QStringList log = logTexts();
    const QStringList steps = {"\nScript executing:", "Erasing completed.",   "Blank check completed,",
                               "Writing completed,",  "Comparing completed,", "Differences 0"};
    int at = 0;
    for (const QString& line : log)
        if (at < steps.size() && line.startsWith(steps[at])) ++at;
    EXPECT_EQ(at, steps.size()) << log.join("|").toStdString();
}

TEST_F(SpiFlow, ScriptWithoutStepsSaysSo)
{
    insertChip(flash);
    controller.ScRunClick();
    EXPECT_EQ(view.messages, QStringList{"The script is not defined!"});
    EXPECT_FALSE(controller.busy());
}

// A flash is written only where it is erased: a Write onto one that is not asks to erase it first,
// and a No leaves it as it was.
TEST_F(SpiFlow, WriteOntoAFlashThatWasNotErasedAsksToEraseItFirst)
{
    insertChip(flash);
    std::fill(emulator->memory().begin(), emulator->memory().end(), 0x00);
    SetEditorBytes(controller, Pattern(262144));
    view.answerYes = false;
    controller.MmWriteClick();
    ASSERT_TRUE(finish());
    EXPECT_TRUE(view.questions.contains("The chip is not erased. Erase it first?"));
    EXPECT_EQ(view.lastLog(), "The chip is not erased (data at the address 0); nothing was written.");
    EXPECT_EQ(view.log.back().second, LogColour::Red);
    EXPECT_TRUE(std::all_of(emulator->memory().begin(), emulator->memory().end(), [](uint8_t b) { return b == 0x00; }));

    view.answerYes = true;
    view.log.clear();
    controller.MmWriteClick();
    ASSERT_TRUE(finish());
    EXPECT_TRUE(logHas("Erasing completed.")) << logTexts().join("|").toStdString();
    EXPECT_TRUE(view.lastLog().startsWith("Writing completed,\nWriting time ")) << view.lastLog().toStdString();
    EXPECT_TRUE(chipHoldsTheEditor());
}
