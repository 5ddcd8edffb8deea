#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <set>
#include <sstream>

#include "chipdb/ChipCsv.h"
#include "chipdb/ChipKind.h"
#include "chipdb/ChipListDate.h"
#include "chipdb/ChipListFile.h"
#include "chipdb/ChipVoltage.h"
#include "chipdb/SetParams.h"

using namespace chipdb;

namespace {

ChipCsv readSource()
{
    std::ifstream in(VESPERA_CHIPS_CSV);
    std::stringstream text;
    text << in.rdbuf();
    return parseChipCsv(text.str());
}

bool isPowerOfTwo(double v)
{
    return v >= 1 && v == std::floor(v) && (static_cast<std::uint64_t>(v) & (static_cast<std::uint64_t>(v) - 1)) == 0;
}

bool isHex(const std::string& s)
{
    return s.find_first_not_of("0123456789ABCDEF") == std::string::npos;
}

} // namespace

// Walks every chip of the readable source.
TEST(StarterDatabase, EveryRowIsSane)
{
    const ChipCsv csv = readSource();
    for (const CsvError& e : csv.errors) ADD_FAILURE() << "chips.csv:" << e.line << ": " << e.message;
    ASSERT_GE(csv.rows.size(), 700u);
    std::set<std::string> names;
    for (const CsvRow& row : csv.rows) {
        const ChipRecord& r = row.record;
        SCOPED_TRACE("chips.csv:" + std::to_string(row.line) + " " + r.CHIPTEXT);
        EXPECT_FALSE(r.CHIPTEXT.empty());
        EXPECT_TRUE(names.insert(r.CHIPTEXT).second) << "name used twice";
        EXPECT_TRUE(isCatalogueKind(r.CHIPID)) << r.CHIPID;
        EXPECT_FALSE(r.MANUF.empty());
        ASSERT_TRUE(r.CHIPSIZE && r.PAGESIZE && r.FREQUENCY && r.ERTIME);
        const double size = *r.CHIPSIZE, page = *r.PAGESIZE;
        EXPECT_TRUE(isPowerOfTwo(size) && size >= (isMicrowireChip(r.CHIPID) ? 32 : 128) && size <= kMaxChipSize)
            << size;
        EXPECT_TRUE(isPowerOfTwo(page) && page <= 256 && page <= size) << page;
        EXPECT_TRUE(*r.FREQUENCY >= 1 && *r.FREQUENCY <= 3);
        EXPECT_GE(*r.ERTIME, 0);
        // A voltage range is whole or absent; the 1.8 V warning goes by the name, so a part that
        // tops out at 2.0 V carries "_18" and one that carries it does not run at 3 V.
        const auto range = voltageOf(r);
        EXPECT_EQ(range.has_value(), r.VMIN.has_value() || r.VMAX.has_value());
        if (range) {
            EXPECT_EQ(range->maxMillivolts <= 2000, r.CHIPTEXT.find("_18") != std::string::npos);
        }
        if (const MicrowireKind* part = microwireKindOf(r.CHIPID)) {
            EXPECT_EQ(size, part->size) << "size does not match the 93Cxx kind";
            EXPECT_EQ(page, part->wordBits / 8) << "the page of a 93Cxx row is its word";
            EXPECT_TRUE(r.SIGNATURE.empty());
        } else if (isI2cChip(r.CHIPID)) {
            EXPECT_EQ(size, 128.0 * (1 << eepromTypeOf(r.CHIPID))) << "size does not match the 24xx kind";
            EXPECT_TRUE(r.SIGNATURE.empty());
        } else {
            // Signatures are JEDEC (6 digits) or RES (4 digits) ids in upper-case hex.
            EXPECT_TRUE(isHex(r.SIGNATURE) &&
                        (r.SIGNATURE.empty() || r.SIGNATURE.size() == 4 || r.SIGNATURE.size() == 6))
                << r.SIGNATURE;
            // The address width of the kind must reach the whole chip, and no further than needed.
            const double reach[] = {0, 16777216, 65536, 512, 4294967296.0, 4294967296.0};
            EXPECT_LE(size, reach[spiAddressModeOf(r.CHIPID)]);
            if (spiAddressModeOf(r.CHIPID) >= 4) {
                EXPECT_GT(size, 16777216);
            }
        }
    }
}

TEST(StarterDatabase, GeneratedFileHoldsEverySourceRow)
{
    ChipTable table;
    const ChipListLoad r = LoadChipList(VESPERA_CHIPLIST_DAT, table);
    ASSERT_EQ(r.status, ChipListStatus::Ok);
    EXPECT_GT(r.version, 0);
    EXPECT_TRUE(ymdFromChipListDate(r.date));
    EXPECT_EQ(table.rows().size(), readSource().rows.size());
    for (const ChipRecord& row : table.rows()) EXPECT_TRUE(isCatalogueKind(row.CHIPID)) << row.CHIPTEXT;
    EXPECT_TRUE(table.locate(ChipField::CHIPTEXT, kDefaultChipName)); // the default selection exists
    ASSERT_TRUE(table.locate(ChipField::CHIPTEXT, "W25Q64FV"));
    EXPECT_EQ(voltageOf(*table.current()), (VoltageRange{2700, 3600}));
}
