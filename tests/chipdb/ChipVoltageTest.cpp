#include <gtest/gtest.h>

#include <cmath>

#include "chipdb/ChipVoltage.h"

using namespace chipdb;

TEST(ChipVoltage, RangeFromTheRowAndItsText)
{
    struct Row {
        Number low, high;
        std::optional<VoltageRange> range;
        const char* en;
        const char* ru;
    } rows[] = {
        {2700, 3600, VoltageRange{2700, 3600}, "2.7–3.6 V", "2,7–3,6 В"},
        {1650, 1950, VoltageRange{1650, 1950}, "1.65–1.95 V", "1,65–1,95 В"},
        {1695, 2000, VoltageRange{1695, 2000}, "1.695–2.0 V", "1,695–2,0 В"},
        {1800, 1800, VoltageRange{1800, 1800}, "1.8 V", "1,8 В"},
        {2700, std::nullopt, std::nullopt, "", ""},
        {3600, 2700, std::nullopt, "", ""},
        {0, 3600, std::nullopt, "", ""},
        {2700.5, 3600, std::nullopt, "", ""},
        {2700, NAN, std::nullopt, "", ""},
        {2700, 1e9, std::nullopt, "", ""},
    };
    for (const Row& row : rows) {
        ChipRecord r;
        r.VMIN = row.low;
        r.VMAX = row.high;
        EXPECT_EQ(voltageOf(r), row.range);
        if (!row.range) {
            EXPECT_EQ(supplyText(std::nullopt), (TextPair{"Supply: not known", "Питание: неизвестно"}));
            continue;
        }
        EXPECT_EQ(voltageText(*row.range), (TextPair{row.en, row.ru}));
        EXPECT_EQ(supplyText(row.range).en, std::string("Supply: ") + row.en);
    }
}
