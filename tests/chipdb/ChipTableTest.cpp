#include <gtest/gtest.h>

#include "chipdb/ChipListFilter.h"
#include "chipdb/ChipTable.h"

using namespace chipdb;

namespace {

ChipRecord chip(const char* name, const char* manuf, double size, const char* sig = "")
{
    return {name, "ID_SPI1", size, 256, 0, manuf, sig, 1};
}

std::vector<std::string> visibleNames(const ChipTable& t)
{
    std::vector<std::string> names;
    for (int i = 0; i < t.visibleCount(); ++i) names.push_back(t.visibleRow(i).CHIPTEXT);
    return names;
}

class ChipTableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        table.assign({chip("W25Q64JV", "WINBOND", 8388608, "EF4017"), chip("at24c02", "ATMEL", 256),
                      chip("MX25L6406E", "MACRONIX", 8388608, "C22017"), chip("W25Q32JV", "WINBOND", 4194304, "EF4016"),
                      chip("AT25DF041A", "ATMEL", 524288, "1F4401")});
        table.setFilterTest([this](const ChipRecord& r) { return filter.accepts(r); });
        table.setAfterScroll([this] { ++scrolls; });
    }
    ChipTable table;
    ChipListFilter filter;
    int scrolls = 0;
};

} // namespace

TEST_F(ChipTableTest, OrderByFieldKeepsTheCurrentRowAndNaturalOrderComesBack)
{
    ASSERT_TRUE(table.locate(ChipField::CHIPTEXT, "MX25L6406E"));
    table.setOrder(ChipField::CHIPTEXT); // letter case does not split the list
    EXPECT_EQ(visibleNames(table),
              (std::vector<std::string>{"at24c02", "AT25DF041A", "MX25L6406E", "W25Q32JV", "W25Q64JV"}));
    EXPECT_EQ(table.current()->CHIPTEXT, "MX25L6406E");
    table.setOrder(ChipField::CHIPSIZE); // numbers compare as numbers, ties in natural order
    EXPECT_EQ(visibleNames(table),
              (std::vector<std::string>{"at24c02", "AT25DF041A", "W25Q32JV", "W25Q64JV", "MX25L6406E"}));
    table.setOrder(std::nullopt);
    EXPECT_EQ(visibleNames(table),
              (std::vector<std::string>{"W25Q64JV", "at24c02", "MX25L6406E", "W25Q32JV", "AT25DF041A"}));
    EXPECT_EQ(table.current()->CHIPTEXT, "MX25L6406E");
}

TEST_F(ChipTableTest, LocateIsExactAndCaseSensitive)
{
    EXPECT_FALSE(table.locate(ChipField::CHIPTEXT, "AT24C02"));
    EXPECT_FALSE(table.locate(ChipField::CHIPTEXT, "W25Q64"));
    EXPECT_EQ(table.currentIndex(), 0);
    EXPECT_TRUE(table.locate(ChipField::CHIPTEXT, "W25Q32JV"));
    EXPECT_EQ(table.fieldText(ChipField::MANUF), "WINBOND");
    EXPECT_EQ(table.fieldNumber(ChipField::CHIPSIZE), 4194304);
    EXPECT_EQ(table.fieldText(ChipField::CHIPSIZE), "4194304");
}

TEST_F(ChipTableTest, FilterHidesRowsAndRerunsOnSwitching)
{
    filter.searchText = "w25";
    table.setFiltered(true);
    EXPECT_EQ(visibleNames(table), (std::vector<std::string>{"W25Q64JV", "W25Q32JV"}));
    EXPECT_EQ(table.currentIndex(), 0);

    filter.searchText = "AT2"; // the test runs again only when filtering is switched
    EXPECT_EQ(table.visibleCount(), 2);
    table.setFiltered(false);
    table.setFiltered(true);
    EXPECT_EQ(visibleNames(table), (std::vector<std::string>{"at24c02", "AT25DF041A"}));

    filter.signatureMode = true; // the auto-select's search, by containment, any case
    filter.signatureText = "c22017";
    table.refilter();
    EXPECT_EQ(visibleNames(table), (std::vector<std::string>{"MX25L6406E"}));

    filter.recordFilterEnabled = false;
    table.refilter();
    EXPECT_EQ(table.visibleCount(), 5);
    table.setFiltered(false);
    EXPECT_EQ(table.rows().size(), 5u);
}

TEST_F(ChipTableTest, ManufacturerExpressionMatchesOneFieldExactly)
{
    table.setFilterTest(nullptr);
    ASSERT_TRUE(table.setFilterExpression("MANUF='ATMEL'"));
    table.setFiltered(true);
    EXPECT_EQ(visibleNames(table), (std::vector<std::string>{"at24c02", "AT25DF041A"}));
    ASSERT_TRUE(table.setFilterExpression("MANUF='atmel'"));
    table.refilter();
    EXPECT_EQ(table.visibleCount(), 0);
    EXPECT_EQ(table.current(), nullptr);
    EXPECT_EQ(table.fieldText(ChipField::CHIPTEXT), "");
    EXPECT_EQ(table.fieldNumber(ChipField::CHIPSIZE), 0);

    table.assign({chip("A", "O'NEIL", 1), chip("B", "ONEIL", 1)});
    ASSERT_TRUE(table.setFilterExpression("MANUF = 'O''NEIL'"));
    table.refilter();
    EXPECT_EQ(visibleNames(table), (std::vector<std::string>{"A"}));
    for (auto bad : {"MANUF=ATMEL", "NOFIELD='x'", "MANUF='a'b'", "MANUF='"})
        EXPECT_FALSE(table.setFilterExpression(bad)) << bad;
}

TEST_F(ChipTableTest, EditingAppendsInsertsChangesAndDeletes)
{
    table.setOrder(ChipField::CHIPTEXT);
    table.append();
    table.edited() = chip("AAA", "NEW", 1024);
    ASSERT_TRUE(table.commit());
    EXPECT_EQ(table.current()->CHIPTEXT, "AAA"); // the new row, in its sorted place
    EXPECT_EQ(table.currentIndex(), 0);
    EXPECT_EQ(table.rows().back().CHIPTEXT, "AAA"); // stored at the end

    ASSERT_TRUE(table.locate(ChipField::CHIPTEXT, "MX25L6406E"));
    ASSERT_TRUE(table.change());
    ASSERT_TRUE(setFieldText(table.edited(), ChipField::CHIPSIZE, "4194304"));
    EXPECT_EQ(table.fieldNumber(ChipField::CHIPSIZE), 8388608); // not before the commit
    ASSERT_TRUE(table.commit());
    EXPECT_EQ(table.fieldNumber(ChipField::CHIPSIZE), 4194304);

    table.insert(); // before the current row in natural order
    table.edited() = chip("MID", "NEW", 1);
    table.commit();
    EXPECT_EQ(table.rows()[2].CHIPTEXT, "MID");
    EXPECT_EQ(table.rows()[3].CHIPTEXT, "MX25L6406E");

    ASSERT_TRUE(table.locate(ChipField::CHIPTEXT, "MID"));
    const int at = table.currentIndex();
    ASSERT_TRUE(table.deleteCurrent());
    EXPECT_EQ(table.currentIndex(), at);
    EXPECT_EQ(table.current()->CHIPTEXT, "MX25L6406E"); // the following row takes its place

    table.change();
    table.cancel();
    EXPECT_FALSE(table.commit());
    table.empty();
    EXPECT_EQ(table.visibleCount(), 0);
    EXPECT_FALSE(table.deleteCurrent());
    EXPECT_FALSE(table.change());
}

TEST_F(ChipTableTest, AfterScrollRunsForEveryMove)
{
    struct Step {
        const char* what;
        std::function<void(ChipTable&)> act;
    } const steps[] = {
        {"move", [](ChipTable& t) { t.moveTo(2); }},
        {"locate", [](ChipTable& t) { t.locate(ChipField::CHIPTEXT, "W25Q32JV"); }},
        {"filter on", [](ChipTable& t) { t.setFiltered(true); }},
        {"order", [](ChipTable& t) { t.setOrder(ChipField::MANUF); }},
        {"delete", [](ChipTable& t) { t.deleteCurrent(); }},
    };
    for (const Step& s : steps) {
        const int before = scrolls;
        s.act(table);
        EXPECT_EQ(scrolls, before + 1) << s.what;
    }
    const int before = scrolls;
    EXPECT_FALSE(table.moveTo(99));
    EXPECT_FALSE(table.locate(ChipField::CHIPTEXT, "none"));
    EXPECT_EQ(scrolls, before);
}
