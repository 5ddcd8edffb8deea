#include "chipdb/sfdp/SfdpBuilder.h"
#include "chipdb/sfdp/SfdpDumps.h"
#include "chipdb/sfdp/SfdpParser.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace sfdp;
using namespace std::chrono_literals;

namespace {

constexpr uint64_t MiB = 1u << 20;

uint32_t DwordOf(std::span<const uint8_t> bytes, std::size_t offset)
{
    return uint32_t(bytes[offset]) | uint32_t(bytes[offset + 1]) << 8 | uint32_t(bytes[offset + 2]) << 16 |
           uint32_t(bytes[offset + 3]) << 24;
}

ChipFacts Facts(uint64_t size, Addressing addressing = Addressing::ThreeBytes)
{
    ChipFacts facts;
    facts.size = size;
    facts.eraseTypes = CommonEraseTypes();
    facts.addressing = addressing;
    return facts;
}

} // namespace

// What the builder writes, the parser reads back, in a JESD216B table of 16 DWORDs.
TEST(SfdpBuilder, RoundTripsThroughTheParser)
{
    ChipFacts noSectorErase = Facts(512 * 1024);
    noSectorErase.sectorEraseOpcode.reset();
    noSectorErase.eraseTypes = {{65536, 0xD8}};
    noSectorErase.volatileStatusWriteEnable = 0x06;
    ChipFacts smallPages = Facts(64 * 1024);
    smallPages.pageSize = 32;
    smallPages.volatileStatusWriteEnable = 0x50;
    ChipFacts fourTypes = Facts(8 * MiB);
    fourTypes.eraseTypes = {{4096, 0x20}, {8192, 0xD8}, {32768, 0xD8}, {65536, 0xD8}};
    ChipFacts bigPages = Facts(256 * MiB, Addressing::FourBytes);
    bigPages.pageSize = 32768;
    bigPages.sectorEraseOpcode = 0x21;

    const ChipFacts cases[] = {
        Facts(8 * MiB),
        Facts(32 * MiB, Addressing::ThreeOrFourBytes),
        Facts(512 * MiB, Addressing::FourBytes), // 2^32 bits: the exponent form
        Facts(256),                              // the smallest the table can state
        noSectorErase,
        smallPages,
        fourTypes,
        bigPages,
    };
    for (const ChipFacts& facts : cases) {
        SCOPED_TRACE(facts.size);
        const auto bytes = Build(facts);
        ASSERT_TRUE(bytes);
        EXPECT_EQ(bytes->size(), 16u + 64u);
        const Parsed parsed = Parse(*bytes);
        ASSERT_TRUE(parsed.ok()) << int(parsed.error);
        EXPECT_EQ(parsed.header.major, 1);
        EXPECT_EQ(parsed.header.minor, 6);
        EXPECT_EQ(parsed.header.tables.size(), 1u);
        const BasicFlashParameters& basic = parsed.basic;
        EXPECT_EQ(basic.dwords, 16);
        EXPECT_EQ(basic.density, facts.size);
        EXPECT_EQ(basic.pageSize, facts.pageSize);
        EXPECT_EQ(basic.pageGranularity, facts.pageSize >= 64);
        EXPECT_EQ(basic.sectorEraseOpcode, facts.sectorEraseOpcode);
        EXPECT_EQ(basic.eraseTypes, facts.eraseTypes);
        EXPECT_EQ(basic.addressing, facts.addressing);
        EXPECT_EQ(basic.volatileStatusWriteEnable, facts.volatileStatusWriteEnable);
        EXPECT_FALSE(basic.fastReads.any());
    }
}

TEST(SfdpBuilder, RefusesFactsNoTableCanState)
{
    const auto with = [](auto change) {
        ChipFacts facts = Facts(MiB);
        change(facts);
        return facts;
    };
    const ChipFacts cases[] = {
        with([](ChipFacts& f) { f.size = 0; }),
        with([](ChipFacts& f) { f.size = 255; }),
        with([](ChipFacts& f) { f.size = 3 * 512 * MiB; }), // over 2^31 bits and no power of two
        with([](ChipFacts& f) { f.pageSize = 0; }),
        with([](ChipFacts& f) { f.pageSize = 528; }),
        with([](ChipFacts& f) { f.pageSize = 65536; }),
        with([](ChipFacts& f) {
            f.eraseTypes.insert(f.eraseTypes.end(), {{262144, 0xDC}, {4096, 0x21}});
        }),
        with([](ChipFacts& f) {
            f.eraseTypes = {{3000, 0x20}};
        }),
        with([](ChipFacts& f) {
            f.eraseTypes = {{1, 0x20}};
        }),
        with([](ChipFacts& f) { f.addressing = Addressing::Reserved; }),
        with([](ChipFacts& f) { f.volatileStatusWriteEnable = 0x01; }),
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) EXPECT_FALSE(Build(cases[i])) << i;
}

// The time codes against a real part's: W25Q128JV states 64 ms for 4 KiB, 160 ms for 64 KiB,
// 704 us a page and 40 s for the chip, with the same units.
TEST(SfdpBuilder, TimesCodedAsARealPartCodesThem)
{
    ChipFacts facts = Facts(16 * MiB);
    facts.eraseTypes = {{4096, 0x20}, {65536, 0xD8}};
    facts.timing = {704us, 64ms, 160ms, 40s};
    const auto built = Build(facts);
    ASSERT_TRUE(built);
    const auto& dumps = Dumps().dumps;
    const auto real =
        std::find_if(dumps.begin(), dumps.end(), [](const Dump& d) { return d.part == "W25Q128JV"; })->bytes;

    const uint32_t builtDw10 = DwordOf(*built, 16 + 36), realDw10 = DwordOf(real, 0x80 + 36);
    const uint32_t builtDw11 = DwordOf(*built, 16 + 40), realDw11 = DwordOf(real, 0x80 + 40);
    EXPECT_EQ(builtDw10 >> 4 & 0x7F, realDw10 >> 4 & 0x7F);   // erase type 1: 4 KiB
    EXPECT_EQ(builtDw10 >> 11 & 0x7F, realDw10 >> 18 & 0x7F); // 64 KiB: the real part's type 3
    EXPECT_EQ(builtDw11 >> 8 & 0x3F, realDw11 >> 8 & 0x3F);   // page program
    EXPECT_EQ(builtDw11 >> 24 & 0x7F, realDw11 >> 24 & 0x7F); // chip erase
    EXPECT_EQ(builtDw11 >> 4 & 0xF, realDw11 >> 4 & 0xF);     // page size
}
