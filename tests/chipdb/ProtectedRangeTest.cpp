// Protected ranges of every scheme against the datasheet tables: each BP/TB/SEC/CMP combination
// of the common rule at 8 and 16 MiB, the 4-bit BP table of the 256 Mbit parts, Macronix with
// TB in the configuration register, Micron with BP3 in bit 6, SST25, 25xx EEPROMs, AT25DF,
// per-block locks and the parts the notes say nothing about.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <ostream>

#include "chipdb/protection/ProtectedRange.h"
#include "chipdb/protection/ProtectionTraits.h"

using namespace chipdb;

namespace chipdb {
void PrintTo(const ProtectedRange& r, std::ostream* out)
{
    *out << std::hex << "[" << r.begin << ", " << r.end << ")" << (r.exact ? "" : " inexact");
}
} // namespace chipdb

namespace {

constexpr std::uint64_t KiB = 1024, MiB = 1024 * KiB;
constexpr std::uint64_t None = UINT64_MAX; // nothing protected
constexpr std::uint64_t All = UINT64_MAX - 1;

const ProtectionScheme& SchemeOf(const char* name)
{
    return protectionSchemeOf(name, "ID_SPI1");
}

// [first, last] as a range (None: empty; All: the whole chip).
ProtectedRange Expected(std::uint64_t first, std::uint64_t last, std::uint64_t size)
{
    if (first == None) return {};
    if (first == All) return {0, size};
    return {first, last + 1};
}

std::string Hex(int v)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02X", v);
    return text;
}

} // namespace

// The common rule (SEC, TB, BP2..BP0, CMP in SR2 bit 6), every SEC/TB/BP combination with CMP = 0
// as the datasheet table lists it, for the parts that use it; CMP = 1 protects exactly the rest.
TEST(ProtectedRange, CommonRuleEveryCombination)
{
    struct Row {
        std::uint8_t sr1; // SEC TB BP2 BP1 BP0 in bits 6..2
        std::uint64_t first8, last8, first16, last16;
    };
    const Row rows[] = {
        {0x00, None, 0, None, 0},
        {0x04, 0x7E0000, 0x7FFFFF, 0xFC0000, 0xFFFFFF},
        {0x08, 0x7C0000, 0x7FFFFF, 0xF80000, 0xFFFFFF},
        {0x0C, 0x780000, 0x7FFFFF, 0xF00000, 0xFFFFFF},
        {0x10, 0x700000, 0x7FFFFF, 0xE00000, 0xFFFFFF},
        {0x14, 0x600000, 0x7FFFFF, 0xC00000, 0xFFFFFF},
        {0x18, 0x400000, 0x7FFFFF, 0x800000, 0xFFFFFF},
        {0x1C, All, 0, All, 0},
        {0x20, None, 0, None, 0},
        {0x24, 0, 0x01FFFF, 0, 0x03FFFF},
        {0x28, 0, 0x03FFFF, 0, 0x07FFFF},
        {0x2C, 0, 0x07FFFF, 0, 0x0FFFFF},
        {0x30, 0, 0x0FFFFF, 0, 0x1FFFFF},
        {0x34, 0, 0x1FFFFF, 0, 0x3FFFFF},
        {0x38, 0, 0x3FFFFF, 0, 0x7FFFFF},
        {0x3C, All, 0, All, 0},
        {0x40, None, 0, None, 0},
        {0x44, 0x7FF000, 0x7FFFFF, 0xFFF000, 0xFFFFFF},
        {0x48, 0x7FE000, 0x7FFFFF, 0xFFE000, 0xFFFFFF},
        {0x4C, 0x7FC000, 0x7FFFFF, 0xFFC000, 0xFFFFFF},
        {0x50, 0x7F8000, 0x7FFFFF, 0xFF8000, 0xFFFFFF},
        {0x54, 0x7F8000, 0x7FFFFF, 0xFF8000, 0xFFFFFF},
        {0x58, 0x7F8000, 0x7FFFFF, 0xFF8000, 0xFFFFFF},
        {0x5C, All, 0, All, 0},
        {0x60, None, 0, None, 0},
        {0x64, 0, 0x000FFF, 0, 0x000FFF},
        {0x68, 0, 0x001FFF, 0, 0x001FFF},
        {0x6C, 0, 0x003FFF, 0, 0x003FFF},
        {0x70, 0, 0x007FFF, 0, 0x007FFF},
        {0x74, 0, 0x007FFF, 0, 0x007FFF},
        {0x78, 0, 0x007FFF, 0, 0x007FFF},
        {0x7C, All, 0, All, 0},
    };
    const struct {
        const char* name;
        std::uint64_t size;
    } parts[] = {{"W25Q64FV", 8 * MiB},   {"GD25Q64C", 8 * MiB},    {"W25Q128JV", 16 * MiB},
                 {"GD25Q128C", 16 * MiB}, {"XM25QH128C", 16 * MiB}, {"S25FL128L", 16 * MiB}};
    for (const auto& part : parts) {
        const ProtectionScheme& scheme = SchemeOf(part.name);
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(part.name) + " SR1 " + Hex(row.sr1));
            const bool eight = part.size == 8 * MiB;
            const ProtectedRange plain = protectedRange(scheme, part.size, {row.sr1, 0x00, 0x00});
            EXPECT_EQ(plain, Expected(eight ? row.first8 : row.first16, eight ? row.last8 : row.last16, part.size));
            // CMP = 1: the rest of the chip, and one range at the other end.
            const ProtectedRange complement = protectedRange(scheme, part.size, {row.sr1, 0x40, 0x00});
            EXPECT_EQ(plain.end - plain.begin + complement.end - complement.begin, part.size);
            EXPECT_TRUE(complement.empty() || plain.empty() || complement.end == plain.begin ||
                        complement.begin == plain.end);
        }
    }
    // The complement rows the datasheet spells out, and the part the note's example names:
    // 64 00 00 protects the lower 4 KiB of a GD25Q128C.
    EXPECT_EQ(protectedRange(SchemeOf("W25Q64FV"), 8 * MiB, {0x04, 0x40, 0}), Expected(0, 0x7DFFFF, 0));
    EXPECT_EQ(protectedRange(SchemeOf("W25Q64FV"), 8 * MiB, {0x00, 0x40, 0}), Expected(All, 0, 8 * MiB));
    EXPECT_EQ(protectedRange(SchemeOf("W25Q64FV"), 8 * MiB, {0x1C, 0x40, 0}), Expected(None, 0, 0));
    EXPECT_EQ(protectedRange(SchemeOf("GD25Q128C"), 16 * MiB, {0x64, 0x00, 0x00}), Expected(0, 0x000FFF, 0));
    // 4 MiB parts: size / 64 is 64 KiB, the smallest unit.
    EXPECT_EQ(protectedRange(SchemeOf("W25Q32JV"), 4 * MiB, {0x04, 0, 0}), Expected(0x3F0000, 0x3FFFFF, 0));
}

// BP3..BP0 count 64 KiB x 2^(n-1) from the top, or from the bottom with TB; GD25Q256D and Micron
// keep the same numbers in different bits; Macronix keeps TB in the configuration register.
TEST(ProtectedRange, FourBpBitsEveryCombination)
{
    struct Row {
        unsigned bp;
        std::uint64_t topFirst, bottomLast; // for a 32 MiB part
    };
    const Row rows[] = {
        {0, None, 0},
        {1, 0x1FF0000, 0x000FFFF},
        {2, 0x1FE0000, 0x001FFFF},
        {3, 0x1FC0000, 0x003FFFF},
        {4, 0x1F80000, 0x007FFFF},
        {5, 0x1F00000, 0x00FFFFF},
        {6, 0x1E00000, 0x01FFFFF},
        {7, 0x1C00000, 0x03FFFFF},
        {8, 0x1800000, 0x07FFFFF},
        {9, 0x1000000, 0x0FFFFFF},
        {10, All, 0},
        {11, All, 0},
        {12, All, 0},
        {13, All, 0},
        {14, All, 0},
        {15, All, 0},
    };
    using Encode = std::function<StatusBytes(unsigned bp, bool tb)>;
    const struct {
        const char* name;
        Encode encode;
    } parts[] = {
        {"GD25Q256D",
         [](unsigned bp, bool tb) {
             return StatusBytes{std::uint8_t(bp << 2 | tb << 6), 0, 0};
         }},
        {"W25Q256JV",
         [](unsigned bp, bool tb) {
             return StatusBytes{std::uint8_t(bp << 2 | tb << 6), 0, 0};
         }},
        {"MT25QL256",
         [](unsigned bp, bool tb) {
             return StatusBytes{std::uint8_t((bp & 7) << 2 | (bp >> 3) << 6 | tb << 5), 0, 0};
         }},
    };
    constexpr std::uint64_t Size = 32 * MiB;
    for (const auto& part : parts) {
        const ProtectionScheme& scheme = protectionSchemeOf(part.name, "ID_SPI25");
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(part.name) + " BP " + std::to_string(row.bp));
            EXPECT_EQ(protectedRange(scheme, Size, part.encode(row.bp, false)), Expected(row.topFirst, Size - 1, Size));
            EXPECT_EQ(protectedRange(scheme, Size, part.encode(row.bp, true)),
                      row.topFirst == None || row.topFirst == All ? Expected(row.topFirst, 0, Size)
                                                                  : Expected(0, row.bottomLast, Size));
        }
    }
    // W25Q256: CMP (SR2 bit 6) complements; on GD25Q256D that bit is SRP1 and protects nothing.
    EXPECT_EQ(protectedRange(protectionSchemeOf("W25Q256JV", ""), Size, {0x04, 0x40, 0}), Expected(0, 0x1FEFFFF, 0));
    EXPECT_EQ(protectedRange(protectionSchemeOf("GD25Q256D", ""), Size, {0x04, 0x40, 0}),
              Expected(0x1FF0000, Size - 1, 0));

    // Macronix: 8 MiB 0111 = upper 4 MiB, 1000 and above all; 16 MiB 1000 = half, 1001 all; TB
    // is bit 3 of the configuration register.
    const ProtectionScheme& mx64 = SchemeOf("MX25L6433F");
    EXPECT_EQ(protectedRange(mx64, 8 * MiB, {0x1C, 0, 0}), Expected(0x400000, 0x7FFFFF, 0));
    EXPECT_EQ(protectedRange(mx64, 8 * MiB, {0x1C, 0, 0x08}), Expected(0, 0x3FFFFF, 0));
    EXPECT_EQ(protectedRange(mx64, 8 * MiB, {0x20, 0, 0}), Expected(All, 0, 8 * MiB));
    const ProtectionScheme& mx128 = SchemeOf("MX25L12835F");
    EXPECT_EQ(protectedRange(mx128, 16 * MiB, {0x04, 0, 0x08}), Expected(0, 0x00FFFF, 0));
    EXPECT_EQ(protectedRange(mx128, 16 * MiB, {0x20, 0, 0}), Expected(0x800000, 0xFFFFFF, 0));
    EXPECT_EQ(protectedRange(mx128, 16 * MiB, {0x24, 0, 0}), Expected(All, 0, 16 * MiB));
    EXPECT_EQ(protectedRange(mx128, 16 * MiB, {0x04, 0x08, 0}), Expected(0xFF0000, 0xFFFFFF, 0))
        << "register 2 is not where a Macronix part keeps TB";
}

// Smaller BP fields: SST25 counts 64 KiB blocks from the top, the 25xx EEPROMs quarters.
TEST(ProtectedRange, SstAndEepromBlocks)
{
    struct Row {
        const char* name;
        const char* kind;
        std::uint64_t size;
        std::uint8_t sr1;
        std::uint64_t first; // to the end of the chip
    } rows[] = {
        {"SST25VF040B", "ID_SPI3", 512 * KiB, 0x00, None},    {"SST25VF040B", "ID_SPI3", 512 * KiB, 0x04, 0x70000},
        {"SST25VF040B", "ID_SPI3", 512 * KiB, 0x08, 0x60000}, {"SST25VF040B", "ID_SPI3", 512 * KiB, 0x0C, 0x40000},
        {"SST25VF040B", "ID_SPI3", 512 * KiB, 0x10, All},     {"SST25VF040B", "ID_SPI3", 512 * KiB, 0x1C, All},
        {"SST25VF016B", "ID_SPI3", 2 * MiB, 0x04, 0x1F0000},  {"SST25VF016B", "ID_SPI3", 2 * MiB, 0x08, 0x1E0000},
        {"SST25VF016B", "ID_SPI3", 2 * MiB, 0x0C, 0x1C0000},  {"SST25VF016B", "ID_SPI3", 2 * MiB, 0x10, 0x180000},
        {"SST25VF016B", "ID_SPI3", 2 * MiB, 0x14, 0x100000},  {"SST25VF016B", "ID_SPI3", 2 * MiB, 0x18, All},
        {"SST25VF016B", "ID_SPI3", 2 * MiB, 0x1C, All},       {"SST25VF020B", "ID_SPI3", 256 * KiB, 0x08, 0x20000},
        {"SST25VF020B", "ID_SPI3", 256 * KiB, 0x10, None},    {"MX25L2026", "ID_SPI1", 256 * KiB, 0x04, 0x30000},
        {"25LC256", "ID_SPI2", 32 * KiB, 0x00, None},         {"25LC256", "ID_SPI2", 32 * KiB, 0x04, 0x6000},
        {"25LC256", "ID_SPI2", 32 * KiB, 0x08, 0x4000},       {"25LC256", "ID_SPI2", 32 * KiB, 0x0C, All},
        {"25LC1024", "ID_SPI1", 128 * KiB, 0x04, 0x18000},    {"M95080", "ID_SPI2", 1 * KiB, 0x30, None},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.name) + " SR1 " + Hex(row.sr1));
        EXPECT_EQ(protectedRange(protectionSchemeOf(row.name, row.kind), row.size, {row.sr1, 0, 0}),
                  Expected(row.first, row.size - 1, row.size));
    }
}

// Where the registers say that something is protected but not where, the whole chip counts as
// protected and the range says it is not exact.
TEST(ProtectedRange, InexactAndFixedRules)
{
    struct Row {
        const char* name;
        StatusBytes registers;
        bool protects;
        bool exact;
    } rows[] = {
        {"AT25DF041A", {0x00, 0, 0}, false, true},   {"AT25DF041A", {0x14, 0, 0}, true, false},
        {"AT25DF041A", {0x1C, 0, 0}, true, true},    {"EN25Q64", {0x04, 0, 0}, true, false},
        {"EN25Q64", {0x20, 0, 0}, true, false},      {"EN25Q64", {0xC0, 0xFF, 0xFF}, false, true},
        {"W25Q128JV", {0x00, 0, 0x04}, true, false}, // WPS: per-block locks
        {"SST26VF064B", {0x3C, 0, 0}, false, true},  {"MX23L6454", {0x00, 0, 0}, true, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.name) + " SR1 " + Hex(row.registers[0]));
        const ProtectedRange range = protectedRange(SchemeOf(row.name), 512 * KiB, row.registers);
        EXPECT_EQ(!range.empty(), row.protects);
        if (row.protects) EXPECT_EQ(range, (ProtectedRange{0, 512 * KiB, row.exact}));
    }
    EXPECT_TRUE(protectedRange(SchemeOf("W25Q64FV"), 0, {0x1C, 0, 0}).empty()) << "no chip, nothing protected";
}

// Without the size a complement counts as protected unless BP selects everything; with it a
// small part may turn out wholly unprotected.
TEST(ProtectedRange, AnythingProtectedWithAndWithoutTheSize)
{
    const ProtectionScheme& w25q = SchemeOf("W25Q80DV");
    EXPECT_FALSE(anythingProtected(w25q, {0x00, 0x00, 0}));
    EXPECT_FALSE(anythingProtected(w25q, {0x20, 0x00, 0})) << "TB alone";
    EXPECT_FALSE(anythingProtected(w25q, {0x1C, 0x40, 0}));
    EXPECT_TRUE(anythingProtected(w25q, {0x18, 0x40, 0}));
    EXPECT_FALSE(anythingProtected(w25q, {0x18, 0x40, 0}, 1 * MiB)) << "BP 110 covers all of 1 MiB";
    EXPECT_TRUE(anythingProtected(SchemeOf("MT25QL128"), {0x40, 0, 0})) << "BP3 in bit 6";
    EXPECT_FALSE(anythingProtected(SchemeOf("MT25QL128"), {0x20, 0, 0})) << "TB alone";
}
