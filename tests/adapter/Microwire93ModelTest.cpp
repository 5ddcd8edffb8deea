// The emulated 93Cxx against its datasheet, clocked by hand with the instruction bits as the
// datasheets write them.
#include "adapter/emulator/Microwire93.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Bits(std::string text)
{
    std::erase(text, ' ');
    return text;
}

// A 93C46 in the x16 organisation (or another part), on a clock that stands still.
struct Wires {
    explicit Wires(uint8_t addressBits = 6, uint8_t wordBits = 16, uint32_t size = 128)
        : memory(size), clock(1.0, EmuClock::Kind::Virtual)
    {
        config.microwireAddressBits = addressBits;
        config.microwireWordBits = wordBits;
        chip = std::make_unique<Microwire93>(config, memory, clock);
    }

    // Chip select low, then high; each bit of `bits` ("1 10 000011", blanks ignored) on DI with a
    // rising clock edge; then `read` more edges, DO sampled after each falling edge (the first
    // sample is taken before any, after the instruction). Chip select stays high.
    std::string instruction(const std::string& bits, int read = -1)
    {
        chip->lines(false, false, false);
        chip->lines(true, false, false);
        for (char c : bits) {
            if (c == ' ') continue;
            chip->lines(true, false, c == '1');
            chip->lines(true, true, c == '1');
        }
        chip->lines(true, false, false);
        std::string out;
        for (int i = 0; i <= read; ++i) {
            if (i > 0) {
                chip->lines(true, true, false);
                chip->lines(true, false, false);
            }
            out += chip->dataOut() ? '1' : '0';
        }
        return out;
    }
    // Chip select low and high again: DO shows busy (0) or ready (1).
    bool ready()
    {
        chip->lines(false, false, false);
        chip->lines(true, false, false);
        return chip->dataOut();
    }

    EmulatedChipConfig config;
    ChipMemory memory;
    EmuClock clock;
    std::unique_ptr<Microwire93> chip;
};

TEST(Microwire93Model, WritesNeedEwenAndShowBusyUntilTheCycleEnds)
{
    Wires wires;
    wires.instruction("1 01 000011 0001001000110100"); // WRITE word 3 = 1234, write-disabled
    EXPECT_TRUE(wires.ready());
    EXPECT_EQ(wires.memory.bytes()[6], 0xFF);

    wires.instruction("1 00 11 0000"); // EWEN
    wires.instruction("1 01 000011 0001001000110100");
    EXPECT_FALSE(wires.ready()) << "busy right after chip select falls";
    EXPECT_EQ(wires.instruction("1 10 000011", 16), std::string(17, '0')) << "a busy chip takes no READ";
    wires.clock.advance(wires.config.eepromWriteCycle);
    EXPECT_TRUE(wires.ready());
    // The word's high byte comes first in the image.
    EXPECT_EQ(wires.memory.bytes()[6], 0x12);
    EXPECT_EQ(wires.memory.bytes()[7], 0x34);

    wires.instruction("1 00 00 0000"); // EWDS
    wires.instruction("1 11 000011");  // ERASE, write-disabled again
    EXPECT_TRUE(wires.ready());
    EXPECT_EQ(wires.memory.bytes()[6], 0x12);
}

TEST(Microwire93Model, ReadAnswersADummyZeroThenWordsOnAndOnWrappingAtTheEnd)
{
    Wires wires;
    auto cells = wires.memory.bytes();
    cells[126] = 0xA5;
    cells[127] = 0x0F;
    cells[0] = 0x80;
    cells[1] = 0x01;
    EXPECT_EQ(wires.instruction("1 10 111111", 32), Bits("0 1010010100001111 1000000000000001"));

    // A 93C56 in x8 takes nine address bits and ignores the top one.
    Wires x8(9, 8, 256);
    x8.memory.bytes()[0x21] = 0x5A;
    EXPECT_EQ(x8.instruction("1 10 100100001", 8), Bits("0 01011010"));
    EXPECT_EQ(x8.instruction("1 10 000100001", 8), Bits("0 01011010"));
}

TEST(Microwire93Model, EralWralAndACutInstruction)
{
    Wires wires(7, 8, 128); // 93C46 in x8
    wires.instruction("1 00 11 00000");
    wires.instruction("1 00 01 00000 00111100"); // WRAL 3C
    EXPECT_FALSE(wires.ready());
    wires.clock.advance(wires.config.eepromWriteCycle);
    EXPECT_TRUE(wires.ready());
    for (uint8_t cell : wires.memory.bytes()) ASSERT_EQ(cell, 0x3C);

    wires.instruction("1 01 0000101 1100"); // WRITE cut short by chip select: nothing happens
    EXPECT_TRUE(wires.ready());
    EXPECT_EQ(wires.memory.bytes()[5], 0x3C);

    wires.instruction("0 0 1 00 10 00000"); // leading zeros before the start bit; ERAL
    EXPECT_FALSE(wires.ready());
    wires.clock.advance(wires.config.eepromWriteCycle);
    EXPECT_TRUE(wires.ready());
    for (uint8_t cell : wires.memory.bytes()) ASSERT_EQ(cell, 0xFF);
}

} // namespace
