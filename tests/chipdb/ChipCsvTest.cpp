#include <gtest/gtest.h>

#include "chipdb/ChipCsv.h"

using namespace chipdb;

// The voltage columns may be left out of a source; the original eight may not, and every row
// has as many cells as the header.
TEST(ChipCsv, VoltageColumnsAreOptional)
{
    const ChipCsv old = parseChipCsv("# a source from before the voltages\n"
                                     "CHIPTEXT,MANUF,CHIPID,CHIPSIZE,PAGESIZE,SIGNATURE,ERTIME,FREQUENCY\n"
                                     "W25Q64FV,WINBOND,ID_SPI1,8388608,256,EF4017,20,3\n");
    ASSERT_TRUE(old.errors.empty());
    ASSERT_EQ(old.rows.size(), 1u);
    EXPECT_EQ(old.rows[0].record, (ChipRecord{"W25Q64FV", "ID_SPI1", 8388608, 256, 20, "WINBOND", "EF4017", 3}));

    const ChipCsv now = parseChipCsv("VMAX,CHIPTEXT,MANUF,CHIPID,CHIPSIZE,PAGESIZE,SIGNATURE,ERTIME,FREQUENCY,VMIN\n"
                                     "3600,W25Q64FV,WINBOND,ID_SPI1,8388608,256,EF4017,20,3,2700\n"
                                     ",AT24C02,ATMEL,ID_24C02,256,8,,0,1,\n"
                                     "3600,W25Q32FV,WINBOND,ID_SPI1,4194304,256,EF4016,10,3\n");
    ASSERT_EQ(now.rows.size(), 2u);
    EXPECT_EQ(now.rows[0].record.VMIN, 2700);
    EXPECT_EQ(now.rows[0].record.VMAX, 3600);
    EXPECT_FALSE(now.rows[1].record.VMIN);
    ASSERT_EQ(now.errors.size(), 1u);
    EXPECT_EQ(now.errors[0].line, 4);
    EXPECT_EQ(now.errors[0].message, "expected 10 cells, found 9");

    const ChipCsv missing = parseChipCsv("CHIPTEXT,MANUF,CHIPID,CHIPSIZE,PAGESIZE,SIGNATURE,ERTIME,VMIN,VMAX\n");
    ASSERT_EQ(missing.errors.size(), 1u);
    EXPECT_EQ(missing.errors[0].message, "missing field FREQUENCY");
}
