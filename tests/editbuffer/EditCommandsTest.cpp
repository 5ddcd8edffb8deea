#include "buffer/edit/EditCommands.h"
#include "buffer/edit/PatternSearch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

namespace {
Bytes bytesOf(std::string_view text)
{
    return Bytes(text.begin(), text.end());
}
} // namespace

TEST(SetDig, UpperCasesHexDigitsAndRefusesOtherKeys)
{
    struct Case {
        char in;
        char out;
        bool accepted;
    };
    const Case cases[] = {
        {'a', 'A', true},   {'f', 'F', true},   {'B', 'B', true},   {'0', '0', true},
        {'9', '9', true},   {8, 8, true},       {13, 13, true},     {27, 27, true},
        {'g', '\0', false}, {'G', '\0', false}, {' ', '\0', false}, {22 /* Ctrl+V */, '\0', false},
        {'-', '\0', false},
    };
    for (const Case& c : cases) {
        char key = c.in;
        EXPECT_EQ(SetDig(key), c.accepted) << int(c.in);
        EXPECT_EQ(key, c.out) << int(c.in);
    }
}

TEST(FillValue, ReadsOneOrTwoHexDigitsAndFallsBackToZero)
{
    EXPECT_EQ(FillValue(""), std::nullopt);
    EXPECT_EQ(FillValue("A"), 0x0A);
    EXPECT_EQ(FillValue("a"), 0x0A);
    EXPECT_EQ(FillValue("FF"), 0xFF);
    EXPECT_EQ(FillValue("07"), 0x07);
    EXPECT_EQ(FillValue("G1"), 0); // pasted past the key filter
    EXPECT_EQ(FillValue("1 "), 0);
    EXPECT_EQ(FillValue("123"), 0);
}

TEST(SwapBytes, ExchangesPairsAndSwappingTwiceRestores)
{
    Bytes block{0x11, 0x22, 0x33, 0x44};
    SwapBytes(block, 4);
    EXPECT_EQ(block, (Bytes{0x22, 0x11, 0x44, 0x33}));
    SwapBytes(block, 4);
    EXPECT_EQ(block, (Bytes{0x11, 0x22, 0x33, 0x44}));
}

TEST(SwapBytes, OddChipSizeTakesTheByteAfterTheChipButNeverLeavesTheBlock)
{
    Bytes roomy{0x11, 0x22, 0x33, 0x44};
    SwapBytes(roomy, 3);
    EXPECT_EQ(roomy, (Bytes{0x22, 0x11, 0x44, 0x33}));

    Bytes tight{0x11, 0x22, 0x33};
    SwapBytes(tight, 3);
    EXPECT_EQ(tight, (Bytes{0x22, 0x11, 0x33}));
}

TEST(SearchPatterns, HexPairsStopAtTheFirstBadPair)
{
    struct Case {
        std::string text;
        Bytes bytes;
    };
    const Case cases[] = {
        {"A5A", {0xA5}},   {"a5b6", {0xA5, 0xB6}},         {"", {}}, {"5", {}}, {"G1", {}},
        {"12 34", {0x12}}, {"00FF00", {0x00, 0xFF, 0x00}},
    };
    for (const Case& c : cases) EXPECT_EQ(HexPattern(c.text), c.bytes) << c.text;
}

TEST(SearchPatterns, TextTakesOneBytePerCharacter)
{
    EXPECT_EQ(TextPattern(U"abc"), bytesOf("abc"));
    EXPECT_EQ(TextPattern(U"Ая ёЁ"), (Bytes{0xC0, 0xFF, 0x20, 0xB8, 0xA8}));
    EXPECT_EQ(TextPattern(U"é€"), (Bytes{0xE9, '?'}));
}

TEST(FindPattern, FollowsTheFirstAndLastBounds)
{
    //                       0123456789012
    const Bytes data = bytesOf("xxabcABCxxabc");
    struct Case {
        const char* pattern;
        std::size_t first;
        std::size_t last;
        bool ignoreCase;
        std::int64_t found;
    };
    const Case cases[] = {
        {"abc", 0, 100, false, 2}, {"abc", 3, 100, false, 10}, // ends exactly at the last byte
        {"abc", 3, 11, false, -1},                             // would end past last
        {"abc", 3, 12, false, 10}, {"ABC", 0, 100, false, 5},    {"ABC", 6, 100, false, -1}, // case differs
        {"ABC", 6, 100, true, 10}, {"abcd", 10, 100, false, -1},                             // longer than what remains
        {"", 0, 100, false, -1},   {"x", 13, 100, false, -1},                                // first past the end
        {"x", 5, 2, false, -1},                                                              // last before first
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindPattern(data, bytesOf(c.pattern), c.first, c.last, c.ignoreCase), c.found)
            << c.pattern << " " << c.first << ".." << c.last;
}
