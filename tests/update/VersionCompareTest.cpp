#include <gtest/gtest.h>

#include "update/VersionCompare.h"

using update::CompareVersions;

TEST(VersionCompare, RanksPartByPart)
{
    struct Case {
        const char *a, *b;
        int expected;
    } const cases[] = {
        {"1.0.1.62", "1.0.1.62", 0},
        {"1.0.2.0", "1.0.1.62", 1},
        {"1.0.1", "1.0.1.62", -1}, // fewer parts
        {"1.0.1.62", "1.0.1", 1},
        {"1.0.1.62b", "1.0.1.62", -1}, // a suffix ranks below none
        {"1.0.1.62", "1.0.1.62b", 1},
        {"1.0.1.070", "1.0.1.62", -1}, // octal 56
        {"1.0.1.0x40", "1.0.1.62", 1}, // hexadecimal 64
        {"1.01", "1.1", -1},           // equal numbers and part counts, different texts
        {"1.1", "1.01", -1},
        {"1.0", "1.beta", 1}, // a number ranks above none
        {"1.beta", "1.0", -1},
        {"1.0rc2", "1.0rc10", 1},                  // suffixes compare byte by byte
        {"2.0-candidate-b", "2.0-candidate-a", 1}, // longer than 7 characters: compared in full
        {"1.\xE9", "1.a", 1},                      // bytes as unsigned characters
        {"1.08", "1.0", -1},                       // "08" is 0 with the suffix "8"
        {"1.99999999999999999999999", "1.2", 1},   // too large for any integer type
        {"1.-1", "1.0", -1},
        {"", "0", -1},
    };
    for (const Case& c : cases) EXPECT_EQ(CompareVersions(c.a, c.b), c.expected) << c.a << " vs " << c.b;
}
