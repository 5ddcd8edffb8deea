#include "chipdb/sfdp/SfdpParser.h"
#include "chipdb/sfdp/SfdpDumps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <stdexcept>

using namespace sfdp;

namespace {

using Bytes = std::vector<uint8_t>;

const Dump& DumpOf(std::string_view part)
{
    const auto& dumps = Dumps().dumps;
    const auto dump = std::find_if(dumps.begin(), dumps.end(), [&](const Dump& d) { return d.part == part; });
    if (dump == dumps.end()) throw std::runtime_error("no dump " + std::string(part));
    return *dump;
}

void PutDword(Bytes& bytes, std::size_t offset, uint32_t value)
{
    for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

constexpr std::size_t MiB = 1u << 20;

} // namespace

// What each real part's table says, against the part's datasheet size: every dump is a row.
TEST(SfdpParser, RealDumps)
{
    using A = Addressing;
    struct Case {
        const char* part;
        uint64_t density;
        std::optional<uint32_t> page; // stated from JESD216A (16-DWORD tables) on
        Addressing addressing;
        std::size_t eraseTypes;
    };
    const Case cases[] = {
        {"AT25QL128A", 16 * MiB, 256, A::ThreeBytes, 3},
        {"BH25Q128AS", 16 * MiB, {}, A::ThreeBytes, 3},
        // A 32 MiB part whose table says 3 address bytes only: wrong, and flagged.
        {"IS25WP256", 32 * MiB, 256, A::ThreeBytes, 3},
        {"MT25QU256A", 32 * MiB, 256, A::ThreeOrFourBytes, 3},
        {"MX25L12835F", 16 * MiB, {}, A::ThreeBytes, 3},
        {"MX25L25635E", 32 * MiB, {}, A::ThreeOrFourBytes, 3},
        {"MX25L25635F", 32 * MiB, {}, A::ThreeOrFourBytes, 3},
        {"MX25L3233F", 4 * MiB, {}, A::ThreeBytes, 3},
        {"MX25U25635F", 32 * MiB, 256, A::ThreeOrFourBytes, 3},
        {"N25Q064A", 8 * MiB, {}, A::ThreeBytes, 2},
        {"N25Q256A", 32 * MiB, {}, A::ThreeOrFourBytes, 2},
        {"SST26VF032B", 4 * MiB, 256, A::ThreeBytes, 4},
        {"SST26VF064B", 8 * MiB, 256, A::ThreeBytes, 4},
        {"W25Q128JV", 16 * MiB, 256, A::ThreeBytes, 3},
        {"W25Q256", 32 * MiB, {}, A::ThreeOrFourBytes, 3},
        {"W25Q512JV", 64 * MiB, 256, A::ThreeOrFourBytes, 3},
        {"W25Q64JW-IM", 8 * MiB, 256, A::ThreeBytes, 3},
        // Answers Winbond's id EF4018 and states 2 MiB for its 16 MiB: the id and the table both lie.
        {"ZD25Q128C", 2 * MiB, {}, A::ThreeBytes, 4},
    };
    std::set<std::string> covered;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.part);
        covered.insert(c.part);
        const Parsed parsed = Parse(DumpOf(c.part).bytes);
        ASSERT_TRUE(parsed.ok()) << int(parsed.error);
        const BasicFlashParameters& basic = parsed.basic;
        EXPECT_EQ(basic.density, c.density);
        EXPECT_EQ(basic.pageSize, c.page);
        EXPECT_EQ(basic.sectorEraseOpcode, 0x20);
        EXPECT_EQ(basic.addressing, c.addressing);
        EXPECT_EQ(basic.addressingContradictsDensity(), std::string_view(c.part) == "IS25WP256");
        EXPECT_EQ(basic.eraseTypes.size(), c.eraseTypes);
        EXPECT_EQ(basic.eraseTypes.front(), (EraseType{4096, 0x20}));
        EXPECT_TRUE(basic.pageGranularity);
    }
    for (const Dump& dump : Dumps().dumps) EXPECT_TRUE(covered.count(dump.part)) << dump.part << " has no row";

    // Status register protection: volatile on SST26 (written after 06h), non-volatile elsewhere.
    EXPECT_EQ(Parse(DumpOf("SST26VF064B").bytes).basic.volatileStatusWriteEnable, 0x06);
    EXPECT_EQ(Parse(DumpOf("W25Q128JV").bytes).basic.volatileStatusWriteEnable, std::nullopt);
    // SST26 erases 8, 32 and 64 KiB blocks with the one opcode D8h; Zetta has a 256-byte erase.
    EXPECT_EQ(Parse(DumpOf("SST26VF064B").bytes).basic.eraseTypes,
              (std::vector<EraseType>{{4096, 0x20}, {8192, 0xD8}, {32768, 0xD8}, {65536, 0xD8}}));
    EXPECT_EQ(Parse(DumpOf("ZD25Q128C").bytes).basic.eraseTypes.back(), (EraseType{256, 0x81}));
    EXPECT_EQ(Parse(DumpOf("MX25U25635F").bytes).basic.fastReads, (FastReads{true, true, true, true, true}));
}

// A caller reads a bounded amount first: any shorter read asks for more (or, while the signature
// is still incomplete, for more or nothing), never decodes, and the read it asks for decodes as the
// whole dump does.
TEST(SfdpParser, EveryShortReadAsksForTheBytesItLacks)
{
    for (const Dump& dump : Dumps().dumps) {
        SCOPED_TRACE(dump.part);
        const Parsed whole = Parse(dump.bytes);
        std::size_t length = 0;
        Parsed parsed = Parse(std::span(dump.bytes).first(length));
        int reads = 1;
        while (!parsed.ok()) {
            ASSERT_EQ(parsed.error, Error::Truncated);
            ASSERT_GT(parsed.needed, length);
            ASSERT_LE(parsed.needed, dump.bytes.size());
            length = parsed.needed;
            parsed = Parse(std::span(dump.bytes).first(length));
            ++reads;
        }
        EXPECT_LE(reads, 4); // header, parameter headers, basic table
        EXPECT_EQ(parsed.basic, whole.basic);
        EXPECT_EQ(parsed.header.tables, whole.header.tables);
        for (std::size_t shorter = 0; shorter < length; ++shorter)
            EXPECT_FALSE(Parse(std::span(dump.bytes).first(shorter)).ok()) << shorter;
    }
    // The parameter header of W25Q512JV's 4-byte instruction table reaches one byte past the
    // dump: the basic table decodes, and the header says how far all tables reach.
    const Parsed parsed = Parse(DumpOf("W25Q512JV").bytes);
    ASSERT_TRUE(parsed.ok());
    EXPECT_EQ(parsed.header.allTablesEnd(), DumpOf("W25Q512JV").bytes.size() + 1);
}

TEST(SfdpParser, DamagedTablesGiveTheirError)
{
    // W25Q128JV: one parameter header, the basic table of 16 DWORDs at 80h.
    const Bytes good = DumpOf("W25Q128JV").bytes;
    struct Case {
        const char* what;
        std::function<void(Bytes&)> damage;
        Error error;
        std::size_t needed;
    };
    const Case cases[] = {
        {"nothing read", [](Bytes& b) { b.clear(); }, Error::Truncated, 8},
        {"no chip: all FF", [](Bytes& b) { std::fill(b.begin(), b.end(), 0xFF); }, Error::NoSignature, 0},
        {"no chip: all 00", [](Bytes& b) { std::fill(b.begin(), b.end(), 0x00); }, Error::NoSignature, 0},
        {"signature off by one bit", [](Bytes& b) { b[3] ^= 0x01; }, Error::NoSignature, 0},
        {"header only", [](Bytes& b) { b.resize(8); }, Error::Truncated, 16},
        {"256 parameter headers", [](Bytes& b) { b[6] = 0xFF; }, Error::Truncated, 8 + 8 * 256},
        {"basic table cut", [](Bytes& b) { b.resize(0x80 + 63); }, Error::Truncated, 0xC0},
        {"major revision 2", [](Bytes& b) { b[5] = 2; }, Error::UnsupportedRevision, 0},
        {"basic table of another id", [](Bytes& b) { b[8] = 0x01; }, Error::NoBasicTable, 0},
        {"basic table major 2", [](Bytes& b) { b[10] = 2; }, Error::NoBasicTable, 0},
        {"basic table of 1 DWORD", [](Bytes& b) { b[11] = 1; }, Error::ShortBasicTable, 0},
        {"basic table far away", [](Bytes& b) { PutDword(b, 12, 0xFFFFFF00); }, Error::OutOfReach, 0xFFFF00 + 64},
        {"table just past the reach", [](Bytes& b) { PutDword(b, 12, 0xFF000FC4); }, Error::OutOfReach, 4100},
        {"density 0 bits", [](Bytes& b) { PutDword(b, 0x84, 0x00000000); }, Error::BadDensity, 0},
        {"density not whole bytes", [](Bytes& b) { PutDword(b, 0x84, 0x00FFFFFE); }, Error::BadDensity, 0},
        {"density all ones", [](Bytes& b) { PutDword(b, 0x84, 0xFFFFFFFF); }, Error::BadDensity, 0},
        {"density 2^67 bits", [](Bytes& b) { PutDword(b, 0x84, 0x80000043); }, Error::BadDensity, 0},
        {"density 2^10 bits", [](Bytes& b) { PutDword(b, 0x84, 0x8000000A); }, Error::BadDensity, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes bytes = good;
        c.damage(bytes);
        const Parsed parsed = Parse(bytes);
        EXPECT_EQ(parsed.error, c.error);
        EXPECT_EQ(parsed.needed, c.needed);
        EXPECT_EQ(parsed.available, bytes.size());
    }
}

TEST(SfdpParser, EdgesOfTheTable)
{
    const Bytes good = DumpOf("W25Q128JV").bytes;
    // The largest and the smallest densities either form can state.
    for (auto [dw2, density] : {std::pair<uint32_t, uint64_t>{0x80000042, uint64_t(1) << 63},
                                {0x80000020, 512 * MiB},
                                {0x7FFFFFFF, 256 * MiB},
                                {0x000007FF, 256},
                                {0x8000000B, 256}}) {
        Bytes bytes = good;
        PutDword(bytes, 0x84, dw2);
        EXPECT_EQ(Parse(bytes).basic.density, density) << std::hex << dw2;
    }

    // The early form of 4 DWORDs: size, 4 KiB erase and addressing, no erase types, no page.
    Bytes early = good;
    early[11] = 4;
    early.resize(0x80 + 16);
    const Parsed parsed = Parse(early);
    ASSERT_TRUE(parsed.ok());
    EXPECT_EQ(parsed.basic.density, 16 * MiB);
    EXPECT_EQ(parsed.basic.sectorEraseOpcode, 0x20);
    EXPECT_TRUE(parsed.basic.eraseTypes.empty());
    EXPECT_FALSE(parsed.basic.pageSize);

    // No 4 KiB erase (DW1 bits 1:0 = 11), reserved addressing, an erase type of 2^32 bytes left out.
    Bytes odd = good;
    PutDword(odd, 0x80, 0xFFFFFF07);
    PutDword(odd, 0x9C, 0xD820200C); // 4 KiB 20h, 2^32 bytes D8h
    PutDword(odd, 0xA0, 0x00000000);
    const Parsed oddParsed = Parse(odd);
    ASSERT_TRUE(oddParsed.ok());
    EXPECT_FALSE(oddParsed.basic.sectorEraseOpcode);
    EXPECT_EQ(oddParsed.basic.addressing, Addressing::Reserved);
    EXPECT_EQ(oddParsed.basic.eraseTypes, (std::vector<EraseType>{{4096, 0x20}}));
}

// A later revision may add a second basic table header for its longer table: the newest 1.x wins,
// the first of equals.
TEST(SfdpParser, NewestBasicTableWins)
{
    Bytes bytes = DumpOf("W25Q128JV").bytes; // its table 1.5 at 80h states 16 MiB
    bytes[6] = 1;                            // a second parameter header at 10h
    const uint8_t second[] = {0x00, 0x00, 0x01, 0x09, 0x30, 0x00, 0x00, 0xFF};
    std::copy(std::begin(second), std::end(second), bytes.begin() + 16);
    std::copy(bytes.begin() + 0x80, bytes.begin() + 0x80 + 36, bytes.begin() + 0x30);
    PutDword(bytes, 0x34, 0x00FFFFFF); // 2 MiB in the second table
    for (auto [minor, density] : {std::pair<uint8_t, uint64_t>{0, 16 * MiB}, {5, 16 * MiB}, {6, 2 * MiB}}) {
        bytes[17] = minor;
        EXPECT_EQ(Parse(bytes).basic.density, density) << int(minor);
    }
}
