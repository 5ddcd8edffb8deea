#include <gtest/gtest.h>

#include "sheets/ChipSheet.h"
#include "sheets/ChipText.h"

using namespace sheets;
using chipdb::ChipRecord;

namespace {

Cell text(std::string t)
{
    return {Cell::Kind::Text, std::move(t), 0};
}
Cell number(double n)
{
    return {Cell::Kind::Number, {}, n};
}
const Cell empty{};

// A sheet row in the column layout: CHIPTEXT, MANUF, CHIPID, CHIPSIZE, PAGESIZE, SIGNATURE, ERTIME, FREQUENCY,
// VMIN, VMAX.
SheetRow row(int n, std::vector<Cell> cells)
{
    return {n, std::move(cells)};
}
Sheet sheetOf(std::vector<SheetRow> rows)
{
    return {std::move(rows), std::nullopt};
}

} // namespace

TEST(ChipSheet, ConvertsCellsByColumn)
{
    Sheet sheet;
    sheet.rows = {
        row(1, {text("CHIPTEXT"), text("MANUF"), text("CHIPID"), text("CHIPSIZE"), text("PAGESIZE"), text("SIGNATURE"),
                text("ERTIME"), text("FREQUENCY")}),
        row(2, {text("W25Q64FV"), text("WINBOND"), text("ID_SPI1"), number(8388608.0), number(256), text("EF4017"),
                number(30), number(3)}),
        row(3, {empty, text("")}), // empty: skipped
        row(5,
            {text("X"), number(2401), text("ID_24C02"), number(255.0), text(" 16 "), number(13), empty, number(0.6)}),
        row(6, {text("SHORT")}), // missing cells are empty fields
        row(7, {text("GD25LQ64C_18"), text("GIGADEVICE"), text("ID_SPI1"), number(8388608), number(256), text("C86017"),
                number(0), number(2), number(1650), text("2000")}),
    };
    // The header names the eight original columns only: a sheet of an older export.
    const ChipRows out = ChipRowsFromSheet(sheet);
    ASSERT_FALSE(out.error);
    ASSERT_EQ(out.rows.size(), 4u);
    EXPECT_EQ(out.rows[0], (ChipRecord{"W25Q64FV", "ID_SPI1", 8388608, 256, 30, "WINBOND", "EF4017", 3}));
    EXPECT_EQ(out.rows[1], (ChipRecord{"X", "ID_24C02", 255, 16, std::nullopt, "2401", "13", 1}));
    EXPECT_EQ(out.rows[2], (ChipRecord{"SHORT", "", std::nullopt, std::nullopt, std::nullopt, "", "", std::nullopt}));
    EXPECT_EQ(out.rows[3],
              (ChipRecord{"GD25LQ64C_18", "ID_SPI1", 8388608, 256, 0, "GIGADEVICE", "C86017", 2, 1650, 2000}));
}

TEST(ChipSheet, ABadRowIsNamedAndNothingIsKept)
{
    struct Case {
        Sheet sheet;
        std::string english, russian;
    } const cases[] = {
        {sheetOf({row(1, {text("A")}), row(7, {text("B"), text(""), text(""), text("big")})}),
         "Row 7: CHIPSIZE is not a number", "Строка 7: CHIPSIZE не является числом"},
        {sheetOf({row(3, {text("A"), text("A MANUFACTURER NAMED AT LENGTH")})}),
         "Row 3: MANUF is longer than 22 characters", "Строка 3: MANUF длиннее 22 символов"},
        // A header row counts only as the first row.
        {sheetOf({row(1, {text("A")}), row(2, {text("CHIPTEXT"), text("MANUF"), text("CHIPID"), text("CHIPSIZE")})}),
         "Row 2: CHIPSIZE is not a number", "Строка 2: CHIPSIZE не является числом"},
    };
    for (const Case& c : cases) {
        const ChipRows out = ChipRowsFromSheet(c.sheet);
        ASSERT_TRUE(out.error);
        EXPECT_EQ(out.error->en, c.english);
        EXPECT_EQ(out.error->ru, c.russian);
    }
}

TEST(ChipText, GroupsByManufacturerWithoutRegardToCase)
{
    const std::vector<ChipRecord> rows{
        {"W25Q64", "ID_SPI1", 8388608, 256, 0, "WINBOND", "EF4017", 3},
        {"AT24C02", "ID_24C02", 256, 8, 0, "ATMEL", "", 1},
        {"AT24C04", "ID_24C04", 512, 16, 0, "Atmel", "", 1},
        {"W25X40", "ID_SPI1", 524288, 256, 0, "WINBOND", "EF3013", 1},
    };
    EXPECT_EQ(ChipTextList(rows), "\r\n<br /><br />[b]ATMEL[/b]<br />\r\nAT24C02, AT24C04, "
                                  "\r\n<br /><br />[b]WINBOND[/b]<br />\r\nW25Q64, W25X40, ");
    EXPECT_EQ(ChipTextList({}), "");
}
