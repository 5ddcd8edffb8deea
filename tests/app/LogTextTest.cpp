#include "session/LogText.h"

#include <gtest/gtest.h>

TEST(LogNumberSuffix, DecimalThenAtLeastSixHexDigits)
{
    const struct {
        int64_t number;
        const char* suffix;
    } cases[] = {
        {-1, ""},
        {-96, ""},
        {0, " 0 (0x000000)"},
        {96, " 96 (0x000060)"},
        {0xFFFFFF, " 16777215 (0xFFFFFF)"},
        {0x1000000, " 16777216 (0x1000000)"},
        {0xDEADBEEF, " 3735928559 (0xDEADBEEF)"},
    };
    for (const auto& c : cases) EXPECT_EQ(LogNumberSuffix(c.number).toStdString(), c.suffix) << c.number;
}
