#include "buffer/edit/HexGrid.h"

#include <gtest/gtest.h>

constexpr std::size_t k33MiB = 34'603'008;

TEST(HexGrid, RowsColumnsAndClamping)
{
    struct Case {
        std::size_t size;
        std::size_t rows;
        std::size_t clampOf100;
    };
    const Case cases[] = {{0, 0, 0}, {1, 1, 0}, {16, 1, 15}, {17, 2, 16}, {256, 16, 100}, {k33MiB, 2'162'688, 100}};
    for (const Case& c : cases) {
        const HexGrid g(c.size);
        EXPECT_EQ(g.rowCount(), c.rows) << c.size;
        EXPECT_EQ(g.clamp(100), c.clampOf100) << c.size;
    }
    EXPECT_EQ(HexGrid::rowOf(0x123), 0x12u);
    EXPECT_EQ(HexGrid::columnOf(0x123), 3u);
    EXPECT_EQ(HexGrid::offsetOf(0x12, 3), 0x123u);
    EXPECT_EQ(HexGrid(20).clampedOffsetOf(1, 15), 19u);
}

TEST(HexGrid, OffsetTextWidthFollowsTheBufferSize)
{
    struct Case {
        std::size_t size;
        std::size_t offset;
        const char* text;
    };
    const Case cases[] = {
        {0, 0, "0x0000"},
        {256, 0xF0, "0x00F0"},
        {65536, 0xFFFF, "0xFFFF"},
        {65537, 0x10000, "0x010000"},
        {k33MiB, k33MiB - 1, "0x020FFFFF"},
        {16, 0x12345, "0x12345"}, // an offset wider than the buffer still prints whole
    };
    for (const Case& c : cases) EXPECT_EQ(HexGrid(c.size).offsetText(c.offset), c.text) << c.size;
}
