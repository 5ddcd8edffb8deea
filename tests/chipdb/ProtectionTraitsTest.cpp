// Which chip of the database has which protection scheme, and what a status write would lock.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "chipdb/ChipCsv.h"
#include "chipdb/ChipKind.h"
#include "chipdb/protection/ProtectionSchemes.h"
#include "chipdb/protection/ProtectionTraits.h"
#include "chipdb/protection/StatusWriteConsequences.h"

using namespace chipdb;

namespace {

std::vector<ChipRecord> SpiRows()
{
    std::ifstream in(VESPERA_CHIPS_CSV);
    std::stringstream text;
    text << in.rdbuf();
    std::vector<ChipRecord> rows;
    for (const CsvRow& row : parseChipCsv(text.str()).rows)
        if (isSpiChip(row.record.CHIPID)) rows.push_back(row.record);
    return rows;
}

std::vector<ConsequenceKind> Kinds(const std::vector<StatusWriteConsequence>& consequences)
{
    std::vector<ConsequenceKind> kinds;
    for (const StatusWriteConsequence& c : consequences) kinds.push_back(c.kind);
    return kinds;
}

} // namespace

TEST(ProtectionTraits, NamePatterns)
{
    struct Row {
        const char* pattern;
        const char* name;
        bool matches;
    } rows[] = {
        {"W25Q#J*", "W25Q128JV", true},   {"W25Q#J*", "w25q16jv-im", true},  {"W25Q#J*", "W25QJV", false},
        {"W25Q#J*", "W25Q128FV", false},  {"W25Q#N*", "W25Q512NW_18", true}, {"GD25Q64C", "GD25Q64C", true},
        {"GD25Q64C", "GD25Q64CS", false}, {"SST25*", "SST25", true},         {"MT25Q*", "XMT25QL", false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(matchesChipPattern(row.pattern, row.name), row.matches) << row.pattern << " " << row.name;
}

// The parts of the datasheet notes get their layouts; every other SPI row keeps the kind's or
// the old-style default, and no entry of the table is dead (a typo would leave its parts on
// the default).
TEST(ProtectionTraits, DatabaseRowsGetTheirSchemes)
{
    struct Row {
        const char* name;
        const char* kind;
        const char* scheme;
    } rows[] = {
        {"W25Q64FV", "ID_SPI1", "winbond-fv"},
        {"W25Q128JV", "ID_SPI1", "winbond-jv"},
        {"W25Q256FV", "ID_SPI24", "winbond-256fv"},
        {"W25Q512JV", "ID_SPI25", "winbond-256jv"},
        {"GD25Q64C", "ID_SPI1", "gd25q64c"},
        {"GD25Q128C", "ID_SPI1", "gd25q128c"},
        {"GD25Q256D", "ID_SPI25", "gd25q256d"},
        {"GD25Q64B", "ID_SPI1", "bp-any"},
        {"XM25QH128C", "ID_SPI1", "xm25qh128c"},
        {"S25FL128L", "ID_SPI1", "s25fl-l"},
        {"MX25L12835F", "ID_SPI1", "macronix-otp-tb"},
        {"MX25L12805D", "ID_SPI1", "bp-any"},
        {"MT25QL256", "ID_SPI25", "micron"},
        {"SST25VF016B", "ID_SPI3", "sst25"},
        {"SST25VF020B", "ID_SPI3", "sst25vf020b"},
        {"SST26VF064B", "ID_SPI1", "sst26"},
        {"AT25DF041A", "ID_SPI1", "at25df"},
        {"25LC256", "ID_SPI2", "eeprom25"},
        {"M95M02", "ID_SPI1", "eeprom25"},
        {"MX23L12854", "ID_SPI1", "mask-rom"},
        {"EN25QH128A", "ID_SPI1", "bp-any"},
        {"", "ID_SPI3", "sst25"},
    };
    for (const Row& row : rows) EXPECT_EQ(protectionSchemeOf(row.name, row.kind).id, row.scheme) << row.name;

    const std::vector<ChipRecord> spi = SpiRows();
    ASSERT_GT(spi.size(), 500u);
    std::set<std::string_view> used;
    for (const ChipRecord& r : spi) {
        for (const ProtectionTrait& t : protectionTraits())
            if (matchesChipPattern(t.pattern, r.CHIPTEXT)) {
                used.insert(t.pattern);
                break;
            }
        const ProtectionScheme& scheme = protectionSchemeOf(r.CHIPTEXT, r.CHIPID);
        EXPECT_FALSE(scheme.id.empty()) << r.CHIPTEXT;
        // CMP in a register the row never reads would hide a chip protected as a whole.
        if (scheme.cmp.exists()) EXPECT_LT(scheme.cmp.reg, *r.FREQUENCY) << r.CHIPTEXT;
    }
    for (const ProtectionTrait& t : protectionTraits()) EXPECT_TRUE(used.count(t.pattern)) << t.pattern;
}

// The consequences of a status write: register locks until power-off or for ever, one-time
// bits, CMP leaving the whole chip protected, per-block locks; nothing for plain BP changes.
TEST(StatusWriteConsequences, LocksAndOneTimeBits)
{
    using K = ConsequenceKind;
    struct Row {
        const char* name;
        StatusBytes before, after;
        std::vector<ConsequenceKind> kinds;
        bool locks;
    } rows[] = {
        {"W25Q64FV", {0x00, 0x00, 0}, {0x1C, 0x00, 0}, {}, false},
        {"W25Q64FV", {0x00, 0x00, 0}, {0x00, 0x01, 0}, {K::RegistersLockedUntilPowerOff}, true},
        {"W25Q64FV", {0x00, 0x00, 0}, {0x80, 0x01, 0}, {K::RegistersLockedForever}, true},
        {"W25Q64FV", {0x00, 0x01, 0}, {0x80, 0x01, 0}, {K::RegistersLockedForever}, true},
        {"W25Q64FV", {0x80, 0x00, 0}, {0x80, 0x00, 0}, {}, false}, // SRP0 alone: only with /WP low
        {"W25Q128JV", {0x00, 0x00, 0}, {0x80, 0x01, 0}, {K::RegistersLockedUntilPowerOff}, true},
        {"W25Q64FV", {0x00, 0x00, 0}, {0x00, 0x18, 0}, {K::OneTimeBitSet, K::OneTimeBitSet}, true},
        {"W25Q64FV", {0x00, 0x08, 0}, {0x00, 0x08, 0}, {}, false},
        {"S25FL128L", {0x00, 0x00, 0}, {0x00, 0x04, 0}, {K::OneTimeBitSet}, true},
        {"MX25L12835F", {0x00, 0, 0x00}, {0x3C, 0, 0x08}, {K::OneTimeBitSet}, true},
        {"MX25L12835F", {0x00, 0, 0x08}, {0x3C, 0, 0x08}, {}, false},
        {"GD25Q256D", {0x00, 0x00, 0}, {0x00, 0x40, 0}, {K::RegistersLockedUntilPowerOff}, true},
        {"W25Q64FV", {0x00, 0x00, 0}, {0x00, 0x40, 0}, {K::WholeChipProtectedByCmp}, false},
        {"W25Q64FV", {0x1C, 0x00, 0}, {0x00, 0x40, 0}, {}, false}, // already all protected
        {"W25Q64FV", {0x00, 0x00, 0}, {0x04, 0x40, 0}, {}, false},
        {"W25Q64FV",
         {0x00, 0x00, 0},
         {0x00, 0x41, 0},
         {K::RegistersLockedUntilPowerOff, K::WholeChipProtectedByCmp},
         true},
        {"W25Q128FV", {0x00, 0x00, 0x00}, {0x00, 0x00, 0x04}, {K::PerBlockLocks}, false},
        {"MT25QL256", {0x00, 0, 0}, {0xFC, 0, 0}, {}, false},
        {"EN25Q64", {0x00, 0, 0}, {0xFC, 0xFF, 0xFF}, {}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto consequences =
            statusWriteConsequences(protectionSchemeOf(row.name, "ID_SPI1"), 8u << 20, row.before, row.after);
        EXPECT_EQ(Kinds(consequences), row.kinds);
        EXPECT_EQ(locksTheChip(consequences), row.locks);
        for (const StatusWriteConsequence& c : consequences) {
            EXPECT_FALSE(c.text.en.empty());
            EXPECT_FALSE(c.text.ru.empty());
            EXPECT_NE(c.text.en, c.text.ru);
        }
    }
}

// Each sentence names the bit the part calls it by.
TEST(StatusWriteConsequences, SentencesNameTheBits)
{
    const auto lb = statusWriteConsequences(schemes::kS25flL, 16u << 20, {0, 0, 0}, {0, 0x20, 0});
    ASSERT_EQ(lb.size(), 1u);
    EXPECT_EQ(lb[0].text.en.rfind("LB3 is one-time programmable", 0), 0u) << lb[0].text.en;
    const auto srl = statusWriteConsequences(schemes::kWinbondJv, 16u << 20, {0, 0, 0}, {0, 0x01, 0});
    ASSERT_EQ(srl.size(), 1u);
    EXPECT_NE(srl[0].text.en.find("SRL = 1"), std::string::npos) << srl[0].text.en;
    EXPECT_NE(srl[0].text.ru.find("до выключения питания"), std::string::npos);
    const auto tb = statusWriteConsequences(schemes::kMacronixOtpTb, 16u << 20, {0, 0, 0}, {0, 0, 0x08});
    ASSERT_EQ(tb.size(), 1u);
    EXPECT_NE(tb[0].text.en.find("from the bottom"), std::string::npos) << tb[0].text.en;
}
