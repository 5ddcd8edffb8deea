// Every "completed" of the core is true of the chip; everything else is a red line that names
// its cause, and an outcome that says which.
#include "SessionFixture.h"

#include <QRegularExpression>

namespace {
bool AllErased(const std::vector<uint8_t>& bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b == 0xFF; });
}
} // namespace

TEST_F(SessionTest, AFlashIsWrittenOnlyWhereItIsErased)
{
    insert("W25X20");
    const std::vector<uint8_t> image = Pattern(262144);
    setEditor(image);

    std::fill(emulator->memory().begin(), emulator->memory().end(), 0x00); // not erased: bits only clear
    answer = [](const QString& question) { return !question.startsWith("The chip is not erased"); };
    EXPECT_EQ(run([&] { session.write(); }), Outcome::Refused);
    EXPECT_EQ(reds(), QStringList{"The chip is not erased (data at the address 0); nothing was written."});
    EXPECT_EQ(chip(), std::vector<uint8_t>(262144, 0x00));

    answer = [](const QString&) { return true; };
    EXPECT_EQ(run([&] { session.write(); }), Outcome::Completed) << reds().join('|').toStdString();
    EXPECT_TRUE(logHas("Erasing completed."));
    EXPECT_TRUE(log.back().first.startsWith("Writing completed,\nWriting time "));
    EXPECT_EQ(chip(), image);
}

TEST_F(SessionTest, AProtectedChipIsWrittenAfterTheUnprotectTheUserAgreedTo)
{
    for (const char* name : {"AT25DF041A", "SST25VF020B"}) { // both power up protected
        SCOPED_TRACE(name);
        insert(name);
        const std::vector<uint8_t> image = Pattern(emulator->memory().size());
        setEditor(image);

        answer = [](const QString& question) { return !question.startsWith("Block protection is set"); };
        EXPECT_EQ(run([&] { session.write(); }), Outcome::Refused);
        EXPECT_TRUE(logHas("The chip stays protected: status registers 0x", LogColour::Red));
        EXPECT_TRUE(AllErased(chip()));

        answer = [](const QString&) { return true; };
        EXPECT_EQ(run([&] { session.write(); }), Outcome::Completed) << reds().join('|').toStdString();
        EXPECT_TRUE(logHas("Unprotect: status registers 0x"));
        EXPECT_EQ(chip(), image);
    }
}

TEST_F(SessionTest, AnEraseIsCompletedOnlyWhenTheChipIsBlank)
{
    // Protected and left so: a No to the unprotect sends nothing, and says so.
    insert("AT25DF041A");
    std::fill(emulator->memory().begin(), emulator->memory().end(), 0x00);
    answer = [](const QString& question) { return !question.startsWith("Block protection is set"); };
    EXPECT_EQ(run([&] { session.erase(); }), Outcome::Refused);
    EXPECT_EQ(reds(), QStringList{"The chip stays protected: status registers 0x1C; nothing was sent to the chip."});
    EXPECT_FALSE(logHas("Erasing"));
    EXPECT_EQ(chip(), std::vector<uint8_t>(chip().size(), 0x00));

    // Unprotected, the erase is true of the chip only once the check after it finds it blank.
    answer = [](const QString&) { return true; };
    EXPECT_EQ(run([&] { session.erase(); }), Outcome::Completed) << reds().join('|').toStdString();
    EXPECT_EQ(log.back().first, "Erasing completed.");
    EXPECT_TRUE(AllErased(chip()));

    // A 25xx EEPROM has no chip erase: FF goes into every page, then the same check.
    insert("25LC256");
    std::fill(emulator->memory().begin(), emulator->memory().end(), 0x00);
    EXPECT_EQ(run([&] { session.erase(); }), Outcome::Completed) << reds().join('|').toStdString();
    EXPECT_EQ(log.back().first, "Erasing completed.");
    EXPECT_TRUE(AllErased(chip()));
}

TEST_F(SessionTest, AnEmptySpiSocketIsNeverBlank)
{
    for (const char* selected : {"W25X20", "25LC256"}) { // with and without an identification
        SCOPED_TRACE(selected);
        insert(selected, "24C256"); // the chip sits on the I2C side: nothing answers on SPI
        EXPECT_EQ(run([&] { session.blankCheck(); }), Outcome::NoDevice);
        EXPECT_TRUE(logHas("\nDevice is defective or not installed!", LogColour::Red));
        EXPECT_FALSE(logHas("Blank check completed"));
    }
}

TEST_F(SessionTest, A24xxChipOfAnotherAddressWidthIsRefused)
{
    const struct {
        const char *selected, *inSocket, *found;
    } cases[] = {
        {"24C02", "24C256",
         "The chip in the socket answers as a part with two address bytes (24C32 or larger), not "
         "as the selected 24C02; nothing was done."},
        {"24C256", "24C02",
         "The chip in the socket answers as a part with one address byte (24C16 or smaller), not "
         "as the selected 24C256; nothing was done."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.selected);
        insert(c.selected, c.inSocket);
        const std::vector<uint8_t> before = Pattern(emulator->memory().size());
        std::copy(before.begin(), before.end(), emulator->memory().begin());
        EXPECT_EQ(run([&] { session.read(); }), Outcome::NoDevice);
        EXPECT_EQ(reds(), QStringList{c.found});
        setEditor(std::vector<uint8_t>(session.chip().size, 0x00));
        EXPECT_EQ(run([&] { session.write(); }), Outcome::NoDevice);
        EXPECT_EQ(chip(), before); // nothing was written
    }

    // A blank chip cannot tell: the log says so rather than guess.
    insert("24C02", "24C256");
    EXPECT_EQ(run([&] { session.read(); }), Outcome::Completed);
    EXPECT_TRUE(logHas("The address width of the chip cannot be told from its contents"));
}

TEST_F(SessionTest, AFailedTransferIsAnErrorAtItsAddressNotACancel)
{
    const struct {
        bool write;
        uint64_t afterPackets; // the write reads the whole chip first to see that it is erased
        const char* line;
    } cases[] = {{false, 400, "Error reading at address"}, {true, 12000, "Error writing at address"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        insert("W25X20", nullptr, std::pair{TransportFault::Timeout, c.afterPackets});
        setEditor(Pattern(262144));
        EXPECT_EQ(run([&] {
                      if (c.write)
                          session.write();
                      else
                          session.read();
                  }),
                  Outcome::IoFailure);
        ASSERT_FALSE(reds().isEmpty());
        EXPECT_TRUE(reds().front().startsWith(c.line)) << reds().join('|').toStdString();
        // A write that stopped says last what it left on the chip.
        if (c.write)
            EXPECT_TRUE(reds().back().startsWith("The chip is now partly written: 0x000000–0x"))
                << reds().join('|').toStdString();
        EXPECT_FALSE(logHas("Reading terminated by user") || logHas("Writing terminated by user"));
    }
}

TEST_F(SessionTest, AScriptStopsAtItsFirstFailedStep)
{
    insert("W25X20");
    std::fill(emulator->memory().begin(), emulator->memory().end(), 0x00);
    setEditor(Pattern(262144));
    EXPECT_EQ(run([&] { session.runScript({false, true, true, true}); }), Outcome::Mismatch);
    EXPECT_EQ(reds(), (QStringList{"Blank check error at the address: 0 (0x000000)",
                                   "The script stopped: the step \"Blank check\" failed."}));
    EXPECT_FALSE(logHas("\nWriting..."));
    EXPECT_EQ(chip(), std::vector<uint8_t>(262144, 0x00));
}

TEST_F(SessionTest, DifferencesAreRedOnlyWhenThereAreSome)
{
    insert("24C02");
    const std::vector<uint8_t> image = Pattern(256);
    std::copy(image.begin(), image.end(), emulator->memory().begin());
    setEditor(image);
    EXPECT_EQ(run([&] { session.compare(); }), Outcome::Completed);
    EXPECT_TRUE(logHas("Differences 0", LogColour::Navy));
    emulator->memory()[9] ^= 0xFF;
    EXPECT_EQ(run([&] { session.compare(); }), Outcome::Mismatch);
    EXPECT_TRUE(logHas("Differences 1", LogColour::Red));
}

// A chip record that cannot be written refuses before the start line, and never says it wrote.
TEST_F(SessionTest, ARecordThatCannotBeWrittenSaysSoBeforeItStarts)
{
    chipdb::ChipRecord noPages = Row("W25X20");
    noPages.PAGESIZE = 0;
    insertRecord(noPages, Row("W25X20"));
    setEditor(Pattern(262144));
    EXPECT_EQ(run([&] { session.write(); }), Outcome::BadInput);
    EXPECT_FALSE(logHas("\nWriting..."));

    chipdb::ChipRecord empty = Row("W25X20");
    empty.CHIPSIZE = 0;
    insertRecord(empty, Row("W25X20"));
    EXPECT_EQ(run([&] { session.write(); }), Outcome::BadInput);
    EXPECT_TRUE(logHas("\nChip size = 0, nothing to write", LogColour::Red));
    EXPECT_FALSE(logHas("Writing completed"));
}
