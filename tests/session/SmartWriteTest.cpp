// A smart write leaves the chip equal to the editor while touching only what differs, and trusts
// what it knows of the chip only while nothing can have changed it.
#include "SessionFixture.h"

namespace {

// The frames of the emulated chip since the last call, by opcode: erases and bytes read.
struct BusCount {
    int sectorErases = 0, chipErases = 0, pagePrograms = 0;
    std::size_t bytesRead = 0;
};

BusCount Count(EmulatedCh341& emulator)
{
    BusCount count;
    for (const SpiFrame& frame : emulator.takeLog().spi) {
        if (frame.mosi.empty()) continue;
        switch (frame.mosi[0]) {
        case 0x20: ++count.sectorErases; break;
        case 0xC7: ++count.chipErases; break;
        case 0x02: ++count.pagePrograms; break;
        case 0x03: count.bytesRead += frame.mosi.size() - 4; break;
        default: break;
        }
    }
    return count;
}

} // namespace

class SmartWriteTest : public SessionTest {
protected:
    static constexpr uint32_t Size = 262144; // W25X20: 64 sectors of 4 KiB

    void SetUp() override
    {
        insert("W25X20");
        const std::vector<uint8_t> old = Pattern(Size);
        std::copy(old.begin(), old.end(), emulator->memory().begin());
        emulator->setLogging(true);
        // The read makes the chip's contents known and puts them into the editor.
        ASSERT_EQ(run([&] { session.read(); }), Outcome::Completed);
        Count(*emulator);
        changed = old;
        changed[3 * 4096 + 5] ^= 0xFF;   // sector 3: bits rise and fall, the sector is erased
        changed[40 * 4096 + 300] = 0x00; // sector 40: bits only fall, one page programmed
    }

    std::vector<uint8_t> changed;
};

TEST_F(SmartWriteTest, WritesOnlyTheChangedSectorsAndPagesOfAKnownChip)
{
    setEditor(changed);
    EXPECT_EQ(run([&] { session.smartWrite(); }), Outcome::Completed) << reds().join('|').toStdString();
    EXPECT_EQ(chip(), changed);
    EXPECT_TRUE(logHas("Smart write: the chip's contents are known"));
    EXPECT_TRUE(logHas("Smart write: 1 of 64 sectors erased, 17 of 1024 pages programmed"));
    EXPECT_TRUE(log.back().first.startsWith("Writing completed,\nWriting time "));
    const BusCount bus = Count(*emulator);
    EXPECT_EQ(bus.sectorErases, 1);
    EXPECT_EQ(bus.chipErases, 0);
    EXPECT_EQ(bus.pagePrograms, 17);
    // The first erased sector is read once to see that the chip took the sector erase; the
    // read-back reads only the touched ranges.
    EXPECT_EQ(bus.bytesRead, 4096u + 4096u + 256u);

    // What the read-back saw is known in turn: writing the same again touches nothing.
    EXPECT_EQ(run([&] { session.smartWrite(); }), Outcome::Completed);
    EXPECT_TRUE(logHas("Smart write: 0 of 64 sectors erased, 0 of 1024 pages programmed"));
    EXPECT_EQ(Count(*emulator).bytesRead, 0u);
}

// Whatever may have changed the chip since it was read makes the smart write read it first; the
// chip is swapped behind the session's back to show that the write then follows the chip.
TEST_F(SmartWriteTest, StaleKnowledgeIsNeverTrusted)
{
    struct Case {
        const char* name;
        std::function<void()> event;
    };
    const Case cases[] = {
        {"a status register write", [&] { session.writeStatus(); }},
        {"a hot-plug report", [&] { session.adapter().AdapterNotify(3); }},
        {"another adapter", [&] { insert("W25X20"); }},
        {"a cancelled read",
         [&] {
             EXPECT_EQ(run([&] {
                           session.read();
                           session.runner().cancel();
                       }),
                       Outcome::Cancelled);
         }},
        {"a failed write",
         [&] {
             setEditor(std::vector<uint8_t>(Size - 1, 0x00)); // shorter than the chip: refused
             EXPECT_NE(run([&] { session.write(); }), Outcome::Completed);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(run([&] { session.read(); }), Outcome::Completed);
        c.event();
        std::vector<uint8_t> swapped = Pattern(Size);
        std::fill_n(swapped.begin() + 8192, 4096, 0x00);
        std::copy(swapped.begin(), swapped.end(), emulator->memory().begin());
        emulator->setLogging(true);
        Count(*emulator);

        setEditor(changed);
        EXPECT_EQ(run([&] { session.smartWrite(); }), Outcome::Completed) << reds().join('|').toStdString();
        EXPECT_TRUE(logHas("Smart write: the chip is read first"));
        EXPECT_EQ(chip(), changed);
        EXPECT_EQ(Count(*emulator).sectorErases, 2) << "sector 2 of the swapped chip, and sector 3";
    }
}
