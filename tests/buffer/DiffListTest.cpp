#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "buffer/DiffList.h"

namespace {

std::vector<std::uint32_t> Addresses(const DiffList& list)
{
    std::vector<std::uint32_t> out;
    for (std::size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(list[i].number, static_cast<std::int32_t>(i));
        out.push_back(list.address(i));
    }
    return out;
}

TEST(DiffList, ListsEveryDifferingOffsetInOrder)
{
    struct Case {
        std::size_t size;
        std::vector<std::uint32_t> differences;
    } cases[] = {
        {1000, {}},
        {1000, {0x10, 0x20, 0x30}},
        {1000, {0, 7, 8, 255, 256, 257, 511, 999}}, // word and block edges, the last byte
        {13, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
        {0, {}},
    };
    for (const auto& c : cases) {
        std::vector<std::uint8_t> buffer(c.size, 0x5A), device(c.size, 0x5A);
        for (const auto address : c.differences) device[address] ^= 0x80;
        DiffList list;
        list.Build(buffer, device);
        EXPECT_EQ(Addresses(list), c.differences);
    }
}

TEST(DiffList, MatchesAByteByByteWalk)
{
    std::mt19937 random(5);
    std::vector<std::uint8_t> buffer(100003), device(100003);
    for (std::size_t i = 0; i < buffer.size(); ++i) {
        buffer[i] = device[i] = static_cast<std::uint8_t>(random());
        if (random() % 50 == 0) device[i] = static_cast<std::uint8_t>(device[i] + 1 + random() % 255);
    }
    std::vector<std::uint32_t> expected;
    for (std::uint32_t i = 0; i < buffer.size(); ++i)
        if (buffer[i] != device[i]) expected.push_back(i);
    DiffList list;
    list.Build(buffer, device);
    EXPECT_EQ(Addresses(list), expected);
}

TEST(DiffList, RebuildAndClearStartEmpty)
{
    std::vector<std::uint8_t> a(64, 0), b(64, 0);
    b[3] = 1;
    DiffList list;
    list.Build(a, b);
    b[3] = 0;
    b[40] = 1;
    list.Build(a, std::span(b).first(32)); // common length only
    EXPECT_TRUE(list.empty());
    list.Build(a, b);
    EXPECT_EQ(Addresses(list), std::vector<std::uint32_t>{40});
    list.Clear();
    EXPECT_TRUE(list.empty());
}

TEST(DiffList, CompareStepText)
{
    EXPECT_EQ(DifferencesText(0), (TextPair{"Differences 0", "Несовпадений 0"}));
    EXPECT_EQ(DifferencesText(1234567).en, "Differences 1234567");
}

} // namespace
