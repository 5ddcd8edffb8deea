// The library's 24xx block read and write (the fast I2C path).
#include "tests/support/EmulatedAdapter.h"
#include "tests/support/I2cStreamBlock.h"

#include "adapter/EepromAddressing.h"
#include "adapter/Uch_i2c.h"

#include <gtest/gtest.h>

namespace {

const char* const Kinds[] = {"ID_24C01",  "ID_24C02",  "ID_24C04",  "ID_24C08",   "ID_24C16",   "ID_24C32",  "ID_24C64",
                             "ID_24C128", "ID_24C256", "ID_24C512", "ID_24C1024", "ID_24C2048", "ID_24C4096"};

std::vector<uint8_t> pattern(std::size_t size)
{
    std::vector<uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 13 + (i >> 8));
    return bytes;
}

TEST(EepromBlock, EveryTypeWritesAndReadsItsWholeChip)
{
    for (uint8_t type = 0; type < 13; ++type) {
        const auto geometry = *EepromGeometryOf(type);
        // Real page at least the library's; type 1 runs in real time to prove the write-cycle wait.
        EmulatedAdapter chip(I2cChip(Kinds[type], geometry.capacity, geometry.pageSize * 2), type == 1 ? 1.0 : 1e4);
        chip.emulator->setLogging(false);
        const auto data = pattern(geometry.capacity);
        ASSERT_TRUE(chip.device.CH341WriteEEPROM(AdapterIndex, type, 0, data)) << Kinds[type];
        auto memory = chip.emulator->memory();
        EXPECT_TRUE(std::equal(data.begin(), data.end(), memory.begin())) << Kinds[type];

        std::reverse(memory.begin(), memory.end());
        std::vector<uint8_t> back(geometry.capacity);
        ASSERT_TRUE(chip.device.CH341ReadEEPROM(AdapterIndex, type, 0, back)) << Kinds[type];
        EXPECT_TRUE(std::equal(back.begin(), back.end(), memory.begin())) << Kinds[type];
    }
}

TEST(EepromBlock, UnalignedRangeTouchesOnlyItsBytes)
{
    EmulatedAdapter chip(I2cChip("ID_24C16", 2048, 16));
    const auto data = pattern(100);
    ASSERT_TRUE(chip.device.CH341WriteEEPROM(AdapterIndex, 4, 0x0F5, data));
    auto memory = chip.emulator->memory();
    EXPECT_EQ(memory[0x0F4], 0xFF);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), memory.begin() + 0x0F5));
    EXPECT_EQ(memory[0x0F5 + 100], 0xFF);
    std::vector<uint8_t> back(100);
    ASSERT_TRUE(chip.device.CH341ReadEEPROM(AdapterIndex, 4, 0x0F5, back));
    EXPECT_EQ(back, data);
}

TEST(EepromBlock, LargestTypesPutHighAddressBitsIntoTheDeviceByte)
{
    EmulatedAdapter chip(I2cChip("ID_24C4096", 524288, 256));
    uint8_t byte[1];
    ASSERT_TRUE(chip.device.CH341ReadEEPROM(AdapterIndex, 12, 0x7FFE0, byte));
    EXPECT_EQ(chip.i2c(), "S AE+ FF+ E0+ S AF+ rFF- P");
}

TEST(EepromBlock, NoTypeOrOutOfRangeDoesNothing)
{
    EmulatedAdapter chip(I2cChip("ID_24C02", 256, 8));
    chip.emulator->resetCounters();
    std::vector<uint8_t> buffer(16);
    EXPECT_FALSE(chip.device.CH341ReadEEPROM(AdapterIndex, 13, 0, buffer));
    EXPECT_FALSE(chip.device.CH341WriteEEPROM(AdapterIndex, 13, 0, buffer));
    EXPECT_FALSE(chip.device.CH341ReadEEPROM(AdapterIndex, 1, 250, buffer));
    EXPECT_FALSE(chip.device.CH341WriteEEPROM(AdapterIndex, 1, 256, std::span(buffer).first(1)));
    EXPECT_EQ(chip.emulator->counters().outPackets, 0u);
}

// Reading 1 KiB: the stream path needs 9 exchanges per 32 bytes, the block read one per 4 KiB.
TEST(EepromBlock, BlockReadNeedsFarFewerRoundTripsThanTheStreamPath)
{
    EmulatedAdapter chip(I2cChip("ID_24C256", 32768, 64));
    chip.emulator->setLogging(false);
    Ch341Library& lib = chip.device;
    uint8_t block[32];
    chip.emulator->resetCounters();
    for (uint32_t address = 0; address < 1024; address += 32) ReadStreamBlock(lib, address, block);
    const uint64_t streamTrips = chip.emulator->counters().roundTrips;
    chip.emulator->resetCounters();
    std::vector<uint8_t> buffer(1024);
    ASSERT_TRUE(lib.CH341ReadEEPROM(AdapterIndex, 8, 0, buffer));
    EXPECT_EQ(streamTrips, 288u);
    EXPECT_EQ(chip.emulator->counters().roundTrips, 1u);
}

} // namespace
