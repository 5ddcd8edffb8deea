// Block protection of the emulated flash against the parts' datasheets: the protected ranges of
// the W25Q64FV table and of the parts whose bits sit elsewhere (GD25Q128C's SEC, GD25Q256D,
// Micron, Macronix), the AT25DF041A sector protection registers, SST25 power-up protection,
// register locks until power-off and for ever, one-time bits, per-block locks, mask ROMs, and
// the silent refusal (WEL cleared, no busy time) of program and erase inside a protected range.
#include "SpiBench.h"

#include "adapter/emulator/FlashStatus.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t None = UINT32_MAX;

EmulatedChipConfig Part(const char* name, const char* maker, uint32_t size, const char* kind = "ID_SPI1")
{
    return *MakeEmulatedChipConfig({name, kind, size, 256, "", 1, maker});
}

// The protected range is exactly [first, last] (None: nothing protected).
void ExpectProtectedRange(const FlashStatus& status, uint32_t size, uint32_t first, uint32_t last)
{
    if (first == None) {
        EXPECT_FALSE(status.isProtected(0, size));
        return;
    }
    EXPECT_TRUE(status.isProtected(first, 1));
    EXPECT_TRUE(status.isProtected(last, 1));
    EXPECT_FALSE(status.isProtected(first, 1) && first > 0 && status.isProtected(first - 1, 1)) << "below";
    EXPECT_FALSE(last + 1 < size && status.isProtected(last + 1, 1)) << "above";
}

// 06 then the command with a 3-byte address; returns SR1 right after it.
uint8_t Command(SpiBench& chip, uint8_t op, uint32_t address, Bytes data = {})
{
    chip.tx({0x06});
    Bytes frame{op, uint8_t(address >> 16), uint8_t(address >> 8), uint8_t(address)};
    frame.insert(frame.end(), data.begin(), data.end());
    chip.tx(frame);
    return chip.status();
}

TEST(FlashProtection, W25Q64FVTable)
{
    struct Row {
        uint8_t sr1, sr2; // SEC TB BP2..0 in SR1, CMP in SR2
        uint32_t first, last;
    } rows[] = {
        {0x00, 0x00, None, 0},
        {0x04, 0x00, 0x7E0000, 0x7FFFFF},
        {0x08, 0x00, 0x7C0000, 0x7FFFFF},
        {0x0C, 0x00, 0x780000, 0x7FFFFF},
        {0x10, 0x00, 0x700000, 0x7FFFFF},
        {0x14, 0x00, 0x600000, 0x7FFFFF},
        {0x18, 0x00, 0x400000, 0x7FFFFF},
        {0x24, 0x00, 0x000000, 0x01FFFF},
        {0x28, 0x00, 0x000000, 0x03FFFF},
        {0x2C, 0x00, 0x000000, 0x07FFFF},
        {0x30, 0x00, 0x000000, 0x0FFFFF},
        {0x34, 0x00, 0x000000, 0x1FFFFF},
        {0x38, 0x00, 0x000000, 0x3FFFFF},
        {0x1C, 0x00, 0x000000, 0x7FFFFF},
        {0x7C, 0x00, 0x000000, 0x7FFFFF},
        {0x44, 0x00, 0x7FF000, 0x7FFFFF},
        {0x48, 0x00, 0x7FE000, 0x7FFFFF},
        {0x4C, 0x00, 0x7FC000, 0x7FFFFF},
        {0x50, 0x00, 0x7F8000, 0x7FFFFF},
        {0x54, 0x00, 0x7F8000, 0x7FFFFF},
        {0x64, 0x00, 0x000000, 0x000FFF},
        {0x68, 0x00, 0x000000, 0x001FFF},
        {0x6C, 0x00, 0x000000, 0x003FFF},
        {0x70, 0x00, 0x000000, 0x007FFF},
        {0x74, 0x00, 0x000000, 0x007FFF},
        // CMP = 1: the complement.
        {0x00, 0x40, 0x000000, 0x7FFFFF},
        {0x1C, 0x40, None, 0},
        {0x04, 0x40, 0x000000, 0x7DFFFF},
        {0x18, 0x40, 0x000000, 0x3FFFFF},
        {0x24, 0x40, 0x020000, 0x7FFFFF},
        {0x44, 0x40, 0x000000, 0x7FEFFF},
        {0x64, 0x40, 0x001000, 0x7FFFFF},
        {0x70, 0x40, 0x008000, 0x7FFFFF},
    };
    constexpr uint32_t Size = 8u << 20;
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << std::hex << "SR1 " << int(row.sr1) << " SR2 " << int(row.sr2));
        EmulatedChipConfig config = Part("W25Q64FV", "WINBOND", Size);
        config.statusPreset = std::array<uint8_t, 3>{row.sr1, row.sr2, 0};
        ExpectProtectedRange(FlashStatus(config, std::nullopt), Size, row.first, row.last);
    }
}

// Program and erase in a protected range are dropped without a busy time and clear WEL; the
// rest of the chip still takes them; chip erase is refused while any range is protected.
TEST(FlashProtection, RefusedSilentlyWithWriteEnableCleared)
{
    EmulatedChipConfig config = Part("W25Q64FV", "WINBOND", 8u << 20);
    config.statusPreset = std::array<uint8_t, 3>{0x04, 0, 0}; // upper 128 KiB
    SpiBench chip(config, 1.0); // real time: the accepted erase is still busy when SR1 is read
    std::ranges::fill(chip.memory(), 0x00);
    EXPECT_EQ(Command(chip, 0x02, 0x7E0000, {0x00}), 0x04) << "WEL cleared, not busy";
    EXPECT_EQ(Command(chip, 0x20, 0x7E0000), 0x04);
    EXPECT_EQ(Command(chip, 0xD8, 0x7F0000), 0x04);
    chip.tx({0x06});
    chip.tx({0xC7});
    EXPECT_EQ(chip.status(), 0x04);
    EXPECT_EQ(chip.memory()[0x7E0000], 0x00);
    EXPECT_EQ(chip.memory()[0x7F0000], 0x00);
    EXPECT_EQ(Command(chip, 0x20, 0x7DF000) & 0x01, 0x01) << "just below: erases";
    chip.waitReady();
    EXPECT_EQ(chip.memory()[0x7DF000], 0xFF);
}

// W25Q register locks: SRP1,SRP0 = 1,0 until the next power-up, SRP0 with /WP low; LB bits are
// one-time programmable; a write enabled by 50 is not kept over a power cycle.
TEST(FlashProtection, W25QRegisterLocks)
{
    const uint32_t size = 1u << 20;
    EmulatedChipConfig config = Part("W25Q80DV", "WINBOND", size);
    {
        config.statusPreset = std::array<uint8_t, 3>{0x00, 0x01, 0}; // power-supply lock-down
        FlashStatus status(config, std::nullopt);
        EXPECT_FALSE(status.write(0, Bytes{0x1C}, false));
        FlashStatus afterPowerCycle(Part("W25Q80DV", "WINBOND", size), status.nonVolatile());
        EXPECT_EQ(afterPowerCycle.read(1), 0x00);
        EXPECT_TRUE(afterPowerCycle.write(0, Bytes{0x1C}, false));
    }
    for (bool wpLow : {false, true}) {
        config.statusPreset = std::array<uint8_t, 3>{0x80, 0x00, 0}; // SRP0
        config.writeProtectPinLow = wpLow;
        FlashStatus status(config, std::nullopt);
        EXPECT_EQ(status.write(0, Bytes{0x00}, false), !wpLow) << "/WP low " << wpLow;
    }
    config.writeProtectPinLow = false;
    config.statusPreset = std::array<uint8_t, 3>{0x00, 0x08, 0}; // LB1
    FlashStatus status(config, std::nullopt);
    EXPECT_TRUE(status.write(1, Bytes{0x00}, false));
    EXPECT_EQ(status.read(1), 0x08);
    EXPECT_TRUE(status.write(0, Bytes{0x1C}, true));
    EXPECT_TRUE(status.isProtected(0, 1));
    EXPECT_EQ(FlashStatus(Part("W25Q80DV", "WINBOND", size), status.nonVolatile()).read(0), 0x00);
}

// AT25DF041A: every sector protected at power-up (SR1 1C with /WP high); 39 and 36 act on one
// physical sector; 01 00 unprotects all (bits 5..2 all 0; all 1 protects all, anything else
// leaves the sectors); SPRL set blocks 36/39 and the global commands, and writing it back to 0
// changes nothing else.
TEST(FlashProtection, AT25DF041ASectors)
{
    SpiBench chip(Part("AT25DF041A", "ATMEL", 512u << 10));
    EXPECT_EQ(chip.status(), 0x1C);
    EXPECT_EQ(Command(chip, 0x02, 0x000000, {0x00}), 0x1C) << "program refused";
    EXPECT_EQ(chip.memory()[0], 0xFF);

    chip.tx({0x06});
    chip.tx({0x01, 0x00});
    chip.waitReady();
    EXPECT_EQ(chip.status(), 0x10);
    struct Sector {
        uint32_t first, last;
    } sectors[] = {
        {0x000000, 0x00FFFF}, {0x010000, 0x01FFFF}, {0x020000, 0x02FFFF}, {0x030000, 0x03FFFF},
        {0x040000, 0x04FFFF}, {0x050000, 0x05FFFF}, {0x060000, 0x06FFFF}, {0x070000, 0x077FFF},
        {0x078000, 0x079FFF}, {0x07A000, 0x07BFFF}, {0x07C000, 0x07FFFF},
    };
    for (const Sector& s : sectors) {
        SCOPED_TRACE(testing::Message() << std::hex << s.first);
        const uint32_t inside = s.first + (s.last - s.first) / 2;
        EXPECT_EQ(Command(chip, 0x36, inside), 0x14) << "some sectors protected, WEL cleared";
        for (uint32_t address : {s.first, s.last})
            EXPECT_EQ(chip.tx({0x3C, uint8_t(address >> 16), uint8_t(address >> 8), uint8_t(address), 0, 0})[5], 0xFF);
        for (uint32_t address : {s.first - 1, s.last + 1}) {
            if (address >= 0x80000) continue;
            EXPECT_EQ(chip.tx({0x3C, uint8_t(address >> 16), uint8_t(address >> 8), uint8_t(address), 0})[4], 0x00);
        }
        EXPECT_EQ(Command(chip, 0x39, s.last), 0x10);
    }

    Command(chip, 0x36, 0x07C000);
    chip.tx({0x06});
    chip.tx({0x01, 0xF0}); // sets SPRL only: bits 5..2 neither all 0 nor all 1
    chip.waitReady();
    EXPECT_EQ(chip.status(), 0x94);
    EXPECT_EQ(Command(chip, 0x39, 0x07C000), 0x94) << "39 refused while SPRL is set";
    chip.tx({0x06});
    chip.tx({0x01, 0x00}); // clears SPRL only
    chip.waitReady();
    EXPECT_EQ(chip.status(), 0x14);
    EXPECT_EQ(Command(chip, 0x02, 0x07C000, {0x00}), 0x14);
    EXPECT_EQ(chip.memory()[0x07C000], 0xFF);
    // Accepted: its effect is checked, not the busy bit, which a loaded machine may already miss.
    Command(chip, 0x02, 0x07BF00, {0x00});
    chip.waitReady();
    EXPECT_EQ(chip.memory()[0x07BF00], 0x00);
}

// SST25: BP counts 64 KiB blocks from the top; the part powers up protected whatever it held;
// BPL locks the register only while /WP is low.
TEST(FlashProtection, SST25BlocksPowerUpAndBpl)
{
    const uint32_t size = 512u << 10;
    EmulatedChipConfig config = Part("SST25VF040B", "SST", size, "ID_SPI3");
    FlashStatus fresh(config, std::array<uint8_t, 3>{0x00, 0, 0});
    EXPECT_EQ(fresh.read(0), 0x1C) << "saved state does not apply";
    EXPECT_FALSE(fresh.nonVolatile());
    struct Row {
        uint8_t sr1;
        uint32_t first;
    } rows[] = {{0x00, None}, {0x04, 0x70000}, {0x08, 0x60000}, {0x0C, 0x40000}, {0x10, 0}, {0x1C, 0}};
    for (const Row& row : rows) {
        config.statusPreset = std::array<uint8_t, 3>{row.sr1, 0, 0};
        ExpectProtectedRange(FlashStatus(config, std::nullopt), size, row.first, size - 1);
    }
    for (bool wpLow : {false, true}) {
        config.statusPreset = std::array<uint8_t, 3>{0x9C, 0, 0};
        config.writeProtectPinLow = wpLow;
        FlashStatus status(config, std::nullopt);
        EXPECT_EQ(status.write(0, Bytes{0x00}, false), !wpLow) << "/WP low " << wpLow;
    }
}

// The parts whose fields the old model read wrongly protect what their datasheets say: the
// GD25Q128C's SEC (64 00 00: the lower 4 KiB, not 256 KiB), the GD25Q256D's BP3 and TB, the
// Micron BP3 in bit 6, the S25FL128L's CMP, Macronix TB in the configuration register.
TEST(FlashProtection, PartsWithTheirOwnLayouts)
{
    struct Row {
        const char* name;
        uint32_t size;
        std::array<uint8_t, 3> status;
        uint32_t first, last;
    } rows[] = {
        {"GD25Q128C", 16u << 20, {0x64, 0x00, 0x00}, 0x000000, 0x000FFF},
        {"GD25Q64C", 8u << 20, {0x44, 0x00, 0x00}, 0x7FF000, 0x7FFFFF},
        {"XM25QH128C", 16u << 20, {0x04, 0x40, 0x00}, 0x000000, 0xFBFFFF},
        {"S25FL128L", 16u << 20, {0x00, 0x40, 0x00}, 0x000000, 0xFFFFFF},
        {"GD25Q256D", 32u << 20, {0x60, 0x00, 0x00}, 0x000000, 0x07FFFFF},
        {"GD25Q256D", 32u << 20, {0x04, 0x40, 0x00}, 0x1FF0000, 0x1FFFFFF},
        {"MT25QL256", 32u << 20, {0x40, 0x00, 0x00}, 0x1800000, 0x1FFFFFF},
        {"MT25QL256", 32u << 20, {0x20, 0x00, 0x00}, None, 0},
        {"MX25L12835F", 16u << 20, {0x20, 0x00, 0x08}, 0x000000, 0x7FFFFF},
        {"EN25Q64", 8u << 20, {0x04, 0x00, 0x00}, 0x000000, 0x7FFFFF},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EmulatedChipConfig config = Part(row.name, "", row.size, row.size > (16u << 20) ? "ID_SPI25" : "ID_SPI1");
        config.statusPreset = row.status;
        ExpectProtectedRange(FlashStatus(config, std::nullopt), row.size, row.first, row.last);
    }
}

// SRP1:SRP0 = 1:1 is the one-time lock of a W25Q FV (it survives the power cycle); on a W25Q JV
// SRL = 1 locks only until power-off; one-time bits never clear; Macronix TB is one of them and
// its configuration register is written as the second byte of 01; the S25FL128L takes its
// registers through 01 alone.
TEST(FlashProtection, LocksForEverAndOneTimeBits)
{
    const uint32_t size = 1u << 20;
    EmulatedChipConfig fv = Part("W25Q80DV", "WINBOND", size);
    fv.statusPreset = std::array<uint8_t, 3>{0x80, 0x01, 0};
    FlashStatus locked(fv, std::nullopt);
    EXPECT_FALSE(locked.write(0, Bytes{0x00, 0x00}, false));
    FlashStatus stillLocked(Part("W25Q80DV", "WINBOND", size), locked.nonVolatile());
    EXPECT_EQ(stillLocked.read(1), 0x01);
    EXPECT_FALSE(stillLocked.write(1, Bytes{0x00}, false));

    EmulatedChipConfig jv = Part("W25Q16JV", "WINBOND", size);
    jv.statusPreset = std::array<uint8_t, 3>{0x80, 0x01, 0};
    FlashStatus srl(jv, std::nullopt);
    EXPECT_FALSE(srl.write(0, Bytes{0x00}, false));
    FlashStatus afterPowerCycle(Part("W25Q16JV", "WINBOND", size), srl.nonVolatile());
    EXPECT_EQ(afterPowerCycle.read(1), 0x00);
    EXPECT_TRUE(afterPowerCycle.write(0, Bytes{0x00}, false));

    FlashStatus mx(Part("MX25L12835F", "MACRONIX", 16u << 20), std::nullopt);
    EXPECT_TRUE(mx.write(0, Bytes{0x04, 0x08}, false));
    EXPECT_EQ(mx.read(2), 0x08) << "the second byte of 01 is the configuration register";
    EXPECT_TRUE(mx.isProtected(0, 1));
    EXPECT_TRUE(mx.write(0, Bytes{0x04, 0x00}, false));
    EXPECT_EQ(mx.read(2), 0x08) << "TB is one-time programmable";
    EXPECT_FALSE(mx.write(1, Bytes{0x00}, false)) << "no 31 on Macronix";

    EmulatedChipConfig fl = Part("S25FL128L", "SPANSION", 16u << 20);
    fl.statusPreset = std::array<uint8_t, 3>{0x00, 0x40, 0x00};
    FlashStatus cr(fl, std::nullopt);
    EXPECT_FALSE(cr.write(1, Bytes{0x00}, false)) << "31 is not how the FL-L writes CR1";
    EXPECT_TRUE(cr.write(0, Bytes{0x00}, false));
    EXPECT_TRUE(cr.isProtected(0, 1)) << "01 with one byte leaves CMP set";
    EXPECT_TRUE(cr.write(0, Bytes{0x00, 0x04}, false));
    EXPECT_FALSE(cr.isProtected(0, 16u << 20));
    EXPECT_TRUE(cr.write(0, Bytes{0x00, 0x00}, false));
    EXPECT_EQ(cr.read(1), 0x04) << "LB0 stays set";
}

// WPS = 1: per-block locks, all locked after power-up until 98; a mask ROM takes nothing.
TEST(FlashProtection, BlockLocksAndMaskRom)
{
    EmulatedChipConfig config = Part("W25Q128JV", "WINBOND", 16u << 20);
    config.statusPreset = std::array<uint8_t, 3>{0x00, 0x00, 0x04};
    SpiBench chip(config);
    EXPECT_EQ(Command(chip, 0x02, 0x000000, {0x00}), 0x00) << "locked: refused";
    EXPECT_EQ(chip.memory()[0], 0xFF);
    chip.tx({0x06});
    chip.tx({0x98});
    Command(chip, 0x02, 0x000000, {0x00});
    chip.waitReady();
    EXPECT_EQ(chip.memory()[0], 0x00);

    SpiBench rom(Part("MX23L6454", "MACRONIX", 8u << 20));
    EXPECT_EQ(Command(rom, 0x02, 0x000000, {0x00}), 0x00);
    rom.tx({0x06});
    rom.tx({0x01, 0x00});
    EXPECT_EQ(rom.status(), 0x00) << "status write refused: WEL cleared, not busy";
    EXPECT_EQ(rom.memory()[0], 0xFF);
}

} // namespace
