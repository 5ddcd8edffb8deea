// The SFDP data beside the chip database: the dumps, their index and provenance, and the table
// every database chip answers with.

#include "chipdb/ChipCsv.h"
#include "chipdb/ChipKind.h"
#include "chipdb/sfdp/ChipSfdp.h"
#include "chipdb/sfdp/SfdpDumps.h"
#include "chipdb/sfdp/SfdpHexText.h"
#include "chipdb/sfdp/SfdpParser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

using namespace sfdp;

namespace {

std::string FileText(const std::filesystem::path& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::map<std::string, chipdb::ChipRecord> DatabaseRows()
{
    std::map<std::string, chipdb::ChipRecord> rows;
    for (const chipdb::CsvRow& row : chipdb::parseChipCsv(FileText(VESPERA_CHIPS_CSV)).rows)
        rows.emplace(row.record.CHIPTEXT, row.record);
    return rows;
}

std::vector<uint8_t> Id(const std::string& signature)
{
    return ReadHexText(signature).bytes;
}

std::vector<uint8_t> TableOfRow(const chipdb::ChipRecord& row)
{
    const auto id = Id(row.SIGNATURE);
    return TableOfChip({row.CHIPTEXT, uint64_t(row.CHIPSIZE.value_or(0)), uint32_t(row.PAGESIZE.value_or(0)), id,
                        row.CHIPID == "ID_SPI24" || row.CHIPID == "ID_SPI25", Timing{}});
}

bool IsFlashKind(const std::string& kind)
{
    return chipdb::isSpiChip(kind) && kind != "ID_SPI2" && kind != "ID_SPI22";
}

} // namespace

// Every dump file is built in, listed once, carries its provenance, and its index id is the one
// its provenance names.
TEST(SfdpData, EveryDumpIsBuiltInWithItsProvenance)
{
    const DumpCatalogue& catalogue = Dumps();
    for (const std::string& fault : catalogue.faults) ADD_FAILURE() << fault;
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(VESPERA_SFDP_DATA))
        if (entry.path().extension() == ".hex") ++files;
    EXPECT_EQ(catalogue.dumps.size(), files);
    EXPECT_EQ(files, 18u);
    for (const Dump& dump : catalogue.dumps) {
        SCOPED_TRACE(dump.part);
        const std::string source = FileText(std::filesystem::path(VESPERA_SFDP_DATA) / (dump.part + ".src"));
        const std::size_t at = source.find("jedec_id: ");
        ASSERT_NE(at, std::string::npos);
        EXPECT_EQ(Id(source.substr(at + 10, 6)), dump.jedecId);
        EXPECT_NE(source.find("source: "), std::string::npos);
        EXPECT_NE(source.find("bytes: " + std::to_string(dump.bytes.size()) + " "), std::string::npos);
    }
}

// A dump serves rows of the same part: each row exists once, answers the dump's id and has the
// size the dump states.
TEST(SfdpData, DumpRowsAreTheSameParts)
{
    const auto rows = DatabaseRows();
    std::map<std::string, std::string> taken;
    for (const Dump& dump : Dumps().dumps) {
        for (const std::string& name : dump.rows) {
            SCOPED_TRACE(dump.part + " -> " + name);
            const auto row = rows.find(name);
            ASSERT_NE(row, rows.end()) << "no such row";
            EXPECT_TRUE(taken.emplace(name, dump.part).second) << "also taken by " << taken[name];
            EXPECT_EQ(Id(row->second.SIGNATURE), dump.jedecId);
            EXPECT_EQ(Parse(dump.bytes).basic.density, uint64_t(row->second.CHIPSIZE.value_or(0)));
            EXPECT_EQ(DumpOfRow(name), &dump);
        }
    }
    EXPECT_EQ(taken.size(), 15u);
}

TEST(SfdpData, DamagedIndexLinesAreFaultsNotDumps)
{
    const DumpText texts[] = {{"A", "53464450\n"}, {"B", "zz\n"}, {"C", "53464450\n"}};
    const DumpCatalogue catalogue = ReadDumpCatalogue("# comment\r\n"
                                                      "DUMP,JEDEC,ROWS\r\n"
                                                      "A,EF4018,ROW1  ROW2\r\n"
                                                      "A,EF4018,ROW3\n"
                                                      "B,EF4018,\n"
                                                      "D,EF4018,\n"
                                                      "A,EF40,\n"
                                                      "A,EF4018\n"
                                                      "\n",
                                                      texts);
    ASSERT_EQ(catalogue.dumps.size(), 1u);
    EXPECT_EQ(catalogue.dumps[0].rows, (std::vector<std::string>{"ROW1", "ROW2"}));
    EXPECT_EQ(catalogue.faults, (std::vector<std::string>{"A: listed twice", "B.hex: unreadable at line 1",
                                                          "D: no D.hex", "A: JEDEC id is not three bytes",
                                                          "A,EF4018: not three cells", "C.hex: not in the index"}));
    EXPECT_EQ(ReadDumpCatalogue("A,EF4018,\n", texts).faults.front(), "index: no DUMP,JEDEC,ROWS header");
}

// Every flash of the database answers SFDP that states its own size and page, or none at all.
TEST(SfdpData, EveryDatabaseFlashAnswersItsOwnFactsOrNothing)
{
    std::size_t withTable = 0, without = 0;
    for (const auto& [name, row] : DatabaseRows()) {
        if (!IsFlashKind(row.CHIPID)) continue;
        SCOPED_TRACE(name);
        const auto table = TableOfRow(row);
        if (table.empty()) {
            ++without;
            EXPECT_TRUE(PredatesSfdp(name) || row.SIGNATURE.size() != 6);
            continue;
        }
        ++withTable;
        const Parsed parsed = Parse(table);
        ASSERT_TRUE(parsed.ok());
        EXPECT_EQ(parsed.basic.density, uint64_t(row.CHIPSIZE.value_or(0)));
        if (parsed.basic.pageSize) EXPECT_EQ(*parsed.basic.pageSize, row.PAGESIZE.value_or(0));
        // 4-byte kinds can address the whole chip, unless the part's own table says otherwise.
        if (!DumpOfRow(name) && row.CHIPSIZE.value_or(0) > ThreeByteReach)
            EXPECT_EQ(parsed.basic.addressing, Addressing::ThreeOrFourBytes);
    }
    EXPECT_GT(withTable, 250u);
    EXPECT_GT(without, 50u);

    const auto rows = DatabaseRows();
    const auto answers = [&](const char* name) { return !TableOfRow(rows.at(name)).empty(); };
    for (const char* old : {"M25P80", "W25Q64BV", "W25X16", "MX25L6405D", "S25FL129P", "SST25VF016B", "AT25DF321A",
                            "25LC1024", "SST25VF512A"})
        EXPECT_FALSE(answers(old)) << old;
    for (const char* recent : {"W25Q64FV", "W25X40CL", "MX25L6406E", "S25FL127S", "GD25Q64C", "SST26VF016B"})
        EXPECT_TRUE(answers(recent)) << recent;
    EXPECT_EQ(TableOfRow(rows.at("W25Q128JV")), DumpOfRow("W25Q128JV")->bytes);
}
