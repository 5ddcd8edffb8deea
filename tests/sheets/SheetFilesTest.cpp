#include <gtest/gtest.h>

#include <minizip/zip.h>

#include <filesystem>
#include <fstream>

#include "sheets/ChipSheetFiles.h"
#include "tests/support/TempFolder.h"

using namespace sheets;
using chipdb::ChipRecord;
namespace fs = std::filesystem;

namespace {

class SheetFiles : public TempFolder {
protected:
    // A zip of the given parts, for workbooks damaged in one place.
    fs::path zipOf(const char* name, std::initializer_list<std::pair<const char*, std::string>> parts) const
    {
        const fs::path path = folder / name;
        zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
        for (const auto& [part, text] : parts) {
            zipOpenNewFileInZip(zip, part, nullptr, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, Z_DEFAULT_COMPRESSION);
            zipWriteInFileInZip(zip, text.data(), unsigned(text.size()));
            zipCloseFileInZip(zip);
        }
        zipClose(zip, nullptr);
        return path;
    }

    // The two rows of data/make_fixtures.py.
    const std::vector<ChipRecord> fixtureRows{{"W25Q64FV", "ID_SPI1", 8388608, 256, 30, "WINBOND", "EF4017", 3},
                                              {"AT24C02", "ID_24C02", 256, 8, 0, "ATMEL", "", 1}};
};

const std::string kRels = "<Relationships><Relationship Id=\"rId1\" Type=\"x/worksheet\" Target=\"worksheets/s.xml\"/>"
                          "<Relationship Id=\"rId2\" Type=\"x/sharedStrings\" Target=\"strings.xml\"/></Relationships>";
const std::string kWorkbook = "<workbook xmlns:r=\"urn:r\"><sheets><sheet r:id=\"rId1\"/></sheets></workbook>";

} // namespace

TEST_F(SheetFiles, ExportThenImportGivesBackTheTable)
{
    const std::vector<ChipRecord> rows{
        {"W25Q64FV", "ID_SPI1", 8388608, 256, 30, "WINBOND", "EF4017", 3, 2700, 3600}, // voltages travel too
        {"25LC040", "ID_SPI22", 512, 16, std::nullopt, "MICROCHIP", "0013", 1},        // digits as text stay text
        {"К24С02", "ID_24C02", 256, 8, 0, "Ангстрем", "", std::nullopt},
        {"", "", std::nullopt, std::nullopt, std::nullopt, "X", "", 2},
    };
    const fs::path file = folder / "Chip_List.xlsx";
    ASSERT_FALSE(SaveChipSheet(file, rows));
    EXPECT_FALSE(fs::exists(folder / "Chip_List.xlsx.partial"));
    const ChipRows back = LoadChipSheet(file);
    ASSERT_FALSE(back.error) << back.error->en;
    EXPECT_EQ(back.rows, rows);
}

TEST_F(SheetFiles, WorkbooksOfOtherProgramsLoad)
{
    for (const char* name : {"other_tool.xlsx", "other_tool.xls"}) {
        const ChipRows rows = LoadChipSheet(fs::path(VESPERA_SHEETS_DATA) / name);
        ASSERT_FALSE(rows.error) << name << ": " << rows.error->en;
        EXPECT_EQ(rows.rows, fixtureRows) << name;
    }
    // The chip source's own format, by its extension in any case.
    const ChipRows csv = LoadChipSheet(Write("chips.CSV", "# list\nCHIPTEXT,MANUF,CHIPID,CHIPSIZE,PAGESIZE,SIGNATURE,"
                                                          "ERTIME,FREQUENCY\nAT24C02,ATMEL,ID_24C02,256,8,,0,1\n"));
    ASSERT_FALSE(csv.error);
    EXPECT_EQ(csv.rows, std::vector<ChipRecord>{fixtureRows[1]});
    EXPECT_EQ(LoadChipSheet(Write("bad.csv", "CHIPTEXT,MANUF,CHIPID,CHIPSIZE,PAGESIZE,SIGNATURE,ERTIME,FREQUENCY\n"
                                             "A,B,C,1,2,3,4,5\nA,B,C,x,2,3,4,5\n"))
                  .error->en,
              "Line 3: CHIPSIZE is not a number");
}

TEST_F(SheetFiles, DamagedWorkbooksAreReportedNotRead)
{
    const std::string fixture = ReadText(fs::path(VESPERA_SHEETS_DATA) / "other_tool.xlsx");
    const std::string sheet =
        "<worksheet><sheetData><row r=\"1\"><c t=\"s\"><v>5</v></c></row></sheetData></worksheet>";
    const fs::path cases[] = {
        Write("cut.xlsx", fixture.substr(0, fixture.size() / 2)),
        Write("text.xlsx", "CHIPTEXT,MANUF\n"),
        Write("empty.xls", ""),
        Write("random.xls", std::string(4096, '\xD0')),
        zipOf("noworkbook.xlsx", {{"xl/other.xml", "<a/>"}}),
        zipOf("badxml.xlsx", {{"xl/workbook.xml", kWorkbook},
                              {"xl/_rels/workbook.xml.rels", kRels},
                              {"xl/worksheets/s.xml", "<worksheet><sheetData><row><c>"}}),
        // A shared string index past the end of the list.
        zipOf("badindex.xlsx", {{"xl/workbook.xml", kWorkbook},
                                {"xl/_rels/workbook.xml.rels", kRels},
                                {"xl/strings.xml", "<sst><si><t>only</t></si></sst>"},
                                {"xl/worksheets/s.xml", sheet}}),
        Write("chips.ods", "PK"),
    };
    for (const fs::path& file : cases) {
        const ChipRows rows = LoadChipSheet(file);
        EXPECT_TRUE(rows.error) << file.filename();
        EXPECT_TRUE(rows.rows.empty()) << file.filename();
    }
}

TEST_F(SheetFiles, ChipTextAndWorkbookWritingFailuresLeaveOldFilesAlone)
{
    const std::vector<ChipRecord> rows{fixtureRows[1]};
    ASSERT_FALSE(SaveChipText(folder / "Chip.txt", rows));
    EXPECT_EQ(ReadText(folder / "Chip.txt"), "\r\n<br /><br />[b]ATMEL[/b]<br />\r\nAT24C02, ");
    EXPECT_TRUE(SaveChipText(folder / "missing" / "Chip.txt", rows));

    const fs::path workbook = Write("Chip_List.xlsx", "old");
    fs::create_directory(folder / "Chip_List.xlsx.partial"); // the writer cannot create its file
    EXPECT_TRUE(SaveChipSheet(workbook, rows));
    EXPECT_EQ(ReadText(workbook), "old");
}

TEST(RowsInCurrentOrder, EveryRowInTheTablesOrderWhateverTheFilter)
{
    chipdb::ChipTable table;
    table.assign(
        {{"B", "", 1, 0, 0, "WINBOND", "", 1}, {"A", "", 1, 0, 0, "ATMEL", "", 1}, {"C", "", 1, 0, 0, "ATMEL", "", 1}});
    table.setOrder(chipdb::ChipField::MANUF);
    table.setFilterTest([](const ChipRecord& r) { return r.CHIPTEXT == "C"; });
    table.setFiltered(true);
    std::string names;
    for (const ChipRecord& r : RowsInCurrentOrder(table)) names += r.CHIPTEXT;
    EXPECT_EQ(names, "ACB");
    EXPECT_EQ(table.visibleCount(), 1); // the table itself is untouched
}
