// The emulated chips against datasheet behaviour, driven by raw frames and bus transactions.
#include "SpiBench.h"

#include "adapter/Uch_i2c.h"
#include "adapter/Uch_spi.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(SpiFlashModel, ProgramNeedsWriteEnableAndOnlyClearsBits)
{
    SpiBench chip(SpiChip());
    chip.tx({0x02, 0x00, 0x00, 0x00, 0x0F});
    EXPECT_EQ(chip.memory()[0], 0xFF) << "no write enable";
    chip.tx({0x06});
    EXPECT_EQ(chip.status(), 0x02);
    chip.tx({0x02, 0x00, 0x00, 0x00, 0x0F});
    chip.waitReady();
    EXPECT_EQ(chip.status(), 0x00) << "WEL clears after the program";
    chip.tx({0x06});
    chip.tx({0x02, 0x00, 0x00, 0x00, 0xF3});
    chip.waitReady();
    EXPECT_EQ(chip.memory()[0], 0x03);
}

TEST(SpiFlashModel, PageProgramWrapsInsideThePage)
{
    SpiBench chip(SpiChip());
    chip.tx({0x06});
    chip.tx({0x02, 0x00, 0x00, 0xFE, 0x11, 0x22, 0x33, 0x44});
    chip.waitReady();
    EXPECT_EQ(Bytes(chip.memory().begin(), chip.memory().begin() + 2), (Bytes{0x33, 0x44}));
    EXPECT_EQ(Bytes(chip.memory().begin() + 0xFE, chip.memory().begin() + 0x101), (Bytes{0x11, 0x22, 0xFF}));
}

TEST(SpiFlashModel, EraseKeepsTheChipBusyForItsScaledDuration)
{
    EmulatedChipConfig config = SpiChip();
    config.chipEraseTime = std::chrono::seconds(30);
    SpiBench chip(config, 300.0); // 30 s pass in 100 ms
    std::fill_n(chip.memory().begin(), 16, 0x00);
    const auto start = std::chrono::steady_clock::now();
    chip.tx({0x06});
    chip.tx({0xC7});
    EXPECT_EQ(chip.status() & 0x03, 0x01) << "busy, WEL cleared";
    EXPECT_EQ(chip.tx({0x9F, 0, 0, 0}), (Bytes{0xFF, 0xFF, 0xFF, 0xFF})) << "a busy chip only answers 05";
    chip.waitReady();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_TRUE(std::all_of(chip.memory().begin(), chip.memory().end(), [](uint8_t b) { return b == 0xFF; }));
}

TEST(SpiFlashModel, SectorAndBlockErase)
{
    SpiBench chip(SpiChip());
    std::fill(chip.memory().begin(), chip.memory().end(), 0x00);
    chip.tx({0x06});
    chip.tx({0x20, 0x01, 0x23, 0x45});
    chip.waitReady();
    chip.tx({0x06});
    chip.tx({0xD8, 0x02, 0x00, 0x00});
    chip.waitReady();
    auto m = chip.memory();
    EXPECT_EQ(std::count(m.begin(), m.end(), 0xFF), 4096 + 65536);
    EXPECT_EQ(m[0x11FFF], 0x00);
    EXPECT_EQ(m[0x12000], 0xFF);
    EXPECT_EQ(m[0x12FFF], 0xFF);
    EXPECT_EQ(m[0x13000], 0x00);
    EXPECT_EQ(m[0x20000], 0xFF);
    EXPECT_EQ(m[0x2FFFF], 0xFF);
}

// A part whose layout its datasheet gives (W25Q80DV: BP0 is the top 64 KiB, TB turns it to the
// bottom); a part of unknown layout counts any BP bit as the whole chip (ProtectionTest).
TEST(SpiFlashModel, BlockProtectionGuardsTheTopOrBottom)
{
    SpiBench chip(*MakeEmulatedChipConfig({"W25Q80DV", "ID_SPI1", 1u << 20, 256, "EF4014", 1, "WINBOND"}));
    const uint32_t top = (1u << 20) - 256;
    for (auto [status, protectedAddress, freeAddress] :
         {std::tuple{0x04u, top, 0u}, {0x24u, 0u, top}}) { // BP0, then BP0 + TB
        std::fill(chip.memory().begin(), chip.memory().end(), 0xFF);
        ASSERT_TRUE(SPIWriteRegister(chip.device, 0x01, static_cast<uint8_t>(status)));
        for (uint32_t address : {protectedAddress, freeAddress}) {
            chip.tx({0x06});
            chip.tx({0x02, uint8_t(address >> 16), uint8_t(address >> 8), uint8_t(address), 0x00});
            chip.waitReady();
        }
        EXPECT_EQ(chip.memory()[protectedAddress], 0xFF);
        EXPECT_EQ(chip.memory()[freeAddress], 0x00);
        chip.tx({0x06});
        chip.tx({0xC7});
        chip.waitReady();
        EXPECT_EQ(chip.memory()[freeAddress], 0x00) << "chip erase refused while protected";
    }
}

TEST(SpiFlashModel, StatusRegistersTwoAndThreeNeedWriteEnable)
{
    SpiBench chip(SpiChip());
    chip.tx({0x31, 0x02});
    EXPECT_EQ(chip.tx({0x35, 0})[1], 0x00);
    ASSERT_TRUE(SPIWriteRegister(chip.device, 0x31, 0x02));
    ASSERT_TRUE(SPIWriteRegister(chip.device, 0x11, 0x60));
    EXPECT_EQ(chip.tx({0x35, 0})[1], 0x02);
    EXPECT_EQ(chip.tx({0x15, 0})[1], 0x60);
}

TEST(SpiFlashModel, FourByteAddressing)
{
    SpiBench chip(SpiChip("ID_SPI25", 32u << 20, 256, "EF4019"));
    chip.memory()[0x01000010] = 0x5A;
    chip.memory()[0x00000010] = 0xA5;
    const Bytes read3{0x03, 0x00, 0x00, 0x10, 0x00, 0x00};
    const Bytes read4{0x03, 0x01, 0x00, 0x00, 0x10, 0x00};
    EXPECT_EQ(chip.tx(read3)[4], 0xA5);
    EXPECT_EQ(chip.tx({0x13, 0x01, 0x00, 0x00, 0x10, 0x00})[5], 0x5A) << "13 is always 4-byte";
    EXPECT_EQ(chip.tx({0x0B, 0x00, 0x00, 0x10, 0x00, 0x00})[5], 0xA5) << "FAST READ: a dummy byte, then data";
    EXPECT_EQ(chip.tx({0x0C, 0x01, 0x00, 0x00, 0x10, 0x00, 0x00})[6], 0x5A) << "0C: FAST READ with 4 bytes";
    chip.tx({0xB7});
    EXPECT_EQ(chip.tx(read4)[5], 0x5A);
    chip.tx({0xE9});
    EXPECT_EQ(chip.tx(read3)[4], 0xA5);
    chip.tx({0x06});
    chip.tx({0x12, 0x01, 0x00, 0x01, 0x00, 0x42});
    chip.waitReady();
    EXPECT_EQ(chip.memory()[0x01000100], 0x42);
}

// B9 as each maker defines it: deep power-down (everything but AB ignored, output high, a
// release time after AB), the S25FL-S bank register (B9 arms it for 01; 17 writes it, 16 reads
// it; EXTADD turns 3-byte commands into 4-byte ones), or no command at all (SST25).
TEST(SpiFlashModel, B9AsTheMakerDefinesIt)
{
    struct Case {
        const char* name;
        const char* maker;
        const char* kind;
        uint32_t size;
        const char* signature;
        bool powerDown;
        uint8_t bankAfter1780; // 16 after B9, 17 80 and the wake-up; FF: no bank register
    } cases[] = {
        {"W25Q256JV", "WINBOND", "ID_SPI25", 1u << 20, "EF4019", true, 0xFF},
        {"MX25L25645G", "MACRONIX", "ID_SPI25", 1u << 20, "C22019", true, 0xFF},
        {"S25FL256L", "SPANSION", "ID_SPI25", 1u << 20, "016019", true, 0xFF},
        {"S25FL256S", "SPANSION", "ID_SPI25", 1u << 20, "010219", false, 0x80},
        {"SST25VF040B", "SST", "ID_SPI3", 512u << 10, "BF258D", false, 0xFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EmulatedChipConfig config = *MakeEmulatedChipConfig({c.name, c.kind, c.size, 256, c.signature, 1, c.maker});
        config.initialStatus = {0, 0, 0};
        SpiBench chip(config);
        chip.memory()[0x10] = 0xA5;
        const Bytes id = chip.tx({0x9F, 0, 0, 0});

        chip.tx({0xB9});
        chip.tx({0x06});
        chip.tx({0x02, 0x00, 0x00, 0x10, 0x00});
        chip.device.CH341SetDelaymS(AdapterIndex, 1); // the page program time
        chip.tx({0x17, 0x80});
        EXPECT_EQ(chip.memory()[0x10], c.powerDown ? 0xA5 : 0x00) << "a program while powered down";
        const Bytes asleep{0xFF, 0xFF, 0xFF, 0xFF};
        EXPECT_EQ(chip.tx({0x9F, 0, 0, 0}) == asleep, c.powerDown);
        EXPECT_EQ(chip.tx({0x05, 0})[1] == 0xFF, c.powerDown);

        chip.tx({0xAB});
        chip.device.CH341SetDelaymS(AdapterIndex, 1);
        EXPECT_EQ(chip.tx({0x9F, 0, 0, 0}), id);
        EXPECT_EQ(chip.tx({0x05, 0})[1] & 0x02, 0) << "WEL";
        EXPECT_EQ(chip.tx({0x16, 0})[1], c.bankAfter1780);
    }

    // Woken by AB, the chip still ignores commands for its release time.
    EmulatedChipConfig slow = *MakeEmulatedChipConfig({"W25Q64FV", "ID_SPI1", 1u << 20, 256, "EF4017", 1, "WINBOND"});
    slow.powerDownReleaseTime = std::chrono::hours(1);
    SpiBench waking(slow);
    waking.tx({0xB9});
    waking.tx({0xAB});
    EXPECT_EQ(waking.tx({0x9F, 0, 0, 0}), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));

    // S25FL-S: B9 then 01 writes the bank register; with EXTADD clear its low bits are the high
    // address bits of 3-byte commands.
    SpiBench flS(*MakeEmulatedChipConfig({"S25FL256S", "ID_SPI25", 32u << 20, 256, "010219", 1, "SPANSION"}));
    flS.memory()[0x01000010] = 0x5A;
    flS.tx({0xB9});
    flS.tx({0x01, 0x01});
    EXPECT_EQ(flS.tx({0x16, 0})[1], 0x01);
    EXPECT_EQ(flS.tx({0x03, 0x00, 0x00, 0x10, 0x00})[4], 0x5A);
    EXPECT_EQ(flS.tx({0x05, 0})[1], 0x00) << "the 01 went to the bank register, not SR1";
}

TEST(SpiEepromModel, OneByteAddressWithBit8InTheOpcode)
{
    const EmulatedChipConfig config = SpiChip("ID_SPI22", 512, 16);
    SpiBench chip(config, 1.0); // emulated time at its real pace: the write cycle lasts 5 ms
    chip.tx({0x0A, 0xF0, 0x01});
    EXPECT_EQ(chip.memory()[0x1F0], 0xFF) << "no write enable";
    chip.tx({0x06});
    const EmuClock& clock = chip.emulator->clock();
    const auto writeStarts = clock.now();
    chip.tx({0x0A, 0xFE, 0x11, 0x22, 0x33}); // wraps inside the 16-byte page
    const bool busy = chip.status() & 0x01;
    // The status was read before this moment on the emulator's clock: still inside the write cycle
    // (as on any machine not stalled for the whole cycle), the chip must have said busy.
    const bool insideTheCycle = clock.now() - writeStarts < config.eepromWriteCycle;
    EXPECT_TRUE(busy || !insideTheCycle) << "write cycle";
    chip.waitReady();
    EXPECT_EQ(chip.memory()[0x1FE], 0x11);
    EXPECT_EQ(chip.memory()[0x1FF], 0x22);
    EXPECT_EQ(chip.memory()[0x1F0], 0x33);
    EXPECT_EQ(chip.memory()[0x0FE], 0xFF);
    EXPECT_EQ(chip.tx({0x0B, 0xFE, 0, 0}), (Bytes{0xFF, 0xFF, 0x11, 0x22}));
}

TEST(SpiEepromModel, TwoByteAddressAndProtection)
{
    SpiBench chip(SpiChip("ID_SPI2", 8192, 32));
    ASSERT_TRUE(SPIWriteRegister(chip.device, 0x01, 0x04)); // BP0: upper quarter
    for (uint16_t address : {0x0100, 0x1F00}) {
        chip.tx({0x06});
        chip.tx({0x02, uint8_t(address >> 8), uint8_t(address), 0x00});
        chip.waitReady();
    }
    EXPECT_EQ(chip.memory()[0x0100], 0x00);
    EXPECT_EQ(chip.memory()[0x1F00], 0xFF);
    EXPECT_EQ(chip.status(), 0x04);
}

// 25xx EEPROMs have no erase command: C7 and 60 change nothing, even after a write enable.
TEST(SpiEepromModel, NoChipErase)
{
    for (const char* kind : {"ID_SPI2", "ID_SPI22"}) {
        SCOPED_TRACE(kind);
        SpiBench chip(SpiChip(kind, 512, 16));
        std::ranges::fill(chip.memory(), 0x5A);
        for (uint8_t erase : {0xC7, 0x60}) {
            chip.tx({0x06});
            chip.tx({erase});
            EXPECT_EQ(chip.status() & 0x01, 0x00) << "no write cycle";
        }
        EXPECT_TRUE(std::ranges::all_of(chip.memory(), [](uint8_t b) { return b == 0x5A; }));
    }
}

// --- 24xx ---

bool i2cWrite(Ch341Library& lib, std::initializer_list<uint8_t> bytes)
{
    IICStart(lib, AdapterIndex);
    bool ok = true;
    for (uint8_t b : bytes) ok = IICWriteByte(lib, AdapterIndex, b) && ok;
    IICStop(lib, AdapterIndex);
    return ok;
}

TEST(I2cEepromModel, PageWriteWrapsAndTheWriteCycleNacks)
{
    EmulatedAdapter chip(I2cChip("ID_24C02", 256, 8), 1.0);
    EXPECT_TRUE(i2cWrite(chip.device, {0xA0, 0x06, 0x11, 0x22, 0x33}));
    EXPECT_FALSE(i2cWrite(chip.device, {0xA0})) << "busy in its write cycle";
    chip.device.CH341SetDelaymS(AdapterIndex, 6);
    EXPECT_TRUE(i2cWrite(chip.device, {0xA0}));
    auto m = chip.emulator->memory();
    EXPECT_EQ(m[6], 0x11);
    EXPECT_EQ(m[7], 0x22);
    EXPECT_EQ(m[0], 0x33);
    EXPECT_EQ(m[8], 0xFF);
}

TEST(I2cEepromModel, RepeatedStartAbandonsAWrite)
{
    EmulatedAdapter chip(I2cChip("ID_24C02", 256, 8));
    IICStart(chip.device, AdapterIndex);
    IICWriteByte(chip.device, AdapterIndex, 0xA0);
    IICWriteByte(chip.device, AdapterIndex, 0x00);
    IICWriteByte(chip.device, AdapterIndex, 0x12);
    IICStart(chip.device, AdapterIndex);
    IICStop(chip.device, AdapterIndex);
    EXPECT_EQ(chip.emulator->memory()[0], 0xFF);
}

TEST(I2cEepromModel, DeviceBytesCarryPinsAndHighAddressBits)
{
    struct Case {
        const char* chipText;
        const char* kind;
        uint32_t size;
        uint8_t configuredAddress;
        std::vector<uint8_t> write; // device byte, address bytes, one data byte
        uint32_t cell;
        uint8_t rejectedDevice;
    } cases[] = {
        {"24C02", "ID_24C02", 256, 0xA4, {0xA4, 0x40, 0x5A}, 0x40, 0xA0},
        {"24C16", "ID_24C16", 2048, 0xA0, {0xAE, 0xE0, 0x5A}, 0x7E0, 0xB0},
        {"PCA24S08", "ID_24C08", 1024, 0, {0xAA, 0x10, 0x5A}, 0x110, 0xA2},
        {"24C256", "ID_24C256", 32768, 0xA0, {0xA0, 0x7F, 0xE0, 0x5A}, 0x7FE0, 0xA2},
        {"24C1024", "ID_24C1024", 131072, 0xA0, {0xA2, 0xFF, 0xE0, 0x5A}, 0x1FFE0, 0xA4},
        {"24C4096", "ID_24C4096", 524288, 0xA0, {0xAE, 0xFF, 0xE0, 0x5A}, 0x7FFE0, 0xB0},
    };
    for (const Case& c : cases) {
        EmulatedChipConfig config = *MakeEmulatedChipConfig({c.chipText, c.kind, c.size, 16, "", 0, ""});
        if (c.configuredAddress) config.i2cDeviceAddress = c.configuredAddress;
        EmulatedAdapter chip(config);
        IICStart(chip.device, AdapterIndex);
        bool ok = true;
        for (uint8_t b : c.write) ok = IICWriteByte(chip.device, AdapterIndex, b) && ok;
        IICStop(chip.device, AdapterIndex);
        EXPECT_TRUE(ok) << c.chipText;
        EXPECT_EQ(chip.emulator->memory()[c.cell], 0x5A) << c.chipText;
        chip.device.CH341SetDelaymS(AdapterIndex, 10);
        EXPECT_FALSE(i2cWrite(chip.device, {c.rejectedDevice})) << c.chipText;
    }
}

} // namespace
