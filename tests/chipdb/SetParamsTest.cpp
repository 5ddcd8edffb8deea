#include <gtest/gtest.h>

#include <cmath>

#include "chipdb/SetParams.h"

using namespace chipdb;

TEST(SetParams, CapacityText)
{
    const std::pair<std::uint32_t, const char*> cases[] = {
        {0, "0x8\n"},           {256, "256x8\n"},    {1023, "1023x8\n"},  {1024, "1Kx8\n"},      {1536, "1Kx8\n"},
        {1048575, "1023Kx8\n"}, {1048576, "1Mx8\n"}, {4194304, "4Mx8\n"}, {33554432, "32Mx8\n"}, {67108864, "64Mx8\n"},
    };
    for (const auto& [size, text] : cases) EXPECT_EQ(capacityText(size), text) << size;
}

TEST(SetParams, LogLineByLanguageAndAckSetting)
{
    struct Case {
        bool ack;
        const char* en;
        const char* ru;
    } const cases[] = {
        {true, "Selected device: AT24C02,Capacity: 256x8\nManufacturer: ATMEL",
         "Выбран чип: AT24C02,Размер: 256x8\nПроизводитель: ATMEL\n"},
        {false, "Selected mode \"No test ACK\" \nSelected device: AT24C02,Capacity: 256x8\nManufacturer: ATMEL",
         "Выбран режим \"Без проверки ACK\" \nВыбран чип: AT24C02,Размер: 256x8\nПроизводитель: ATMEL\n"},
    };
    for (const Case& c : cases) {
        const TextPair line = selectionLogLine("AT24C02", "256x8\n", "ATMEL", c.ack);
        EXPECT_EQ(line.en, c.en);
        EXPECT_EQ(line.ru, c.ru);
        EXPECT_EQ(PickText(Language::Russian, line), c.ru);
        EXPECT_EQ(PickText(Language::English, line), c.en);
        EXPECT_EQ(PickText(Language::NotChosen, line), c.en); // not chosen: messages are English
    }
}

TEST(SetParams, CopiesAndRoundsTheRow)
{
    const ChipRecord row{"W25Q80EW_18", "ID_SPI1", 1048576.4, 255.5, 7, "WINBOND", "EF6014", 2.6};
    const ChipSelection s = SetParams(row, true, false);
    EXPECT_EQ(s.chip.ChipName, "W25Q80EW_18");
    EXPECT_EQ(s.chip.ChipKind, "ID_SPI1");
    EXPECT_EQ(s.chip.ChipSize, 1048576u);
    EXPECT_EQ(s.chip.PageSize, 256); // half to even
    EXPECT_EQ(s.chip.StatusRegCount, 3);
    EXPECT_EQ(s.capacity, "1Mx8\n");
    EXPECT_EQ(s.logLine.en, "Selected device: W25Q80EW_18,Capacity: 1Mx8\nManufacturer: WINBOND");
    EXPECT_TRUE(s.spiControls);
    EXPECT_FALSE(s.lowVoltageWarning); // not chosen in the dialog
    EXPECT_TRUE(SetParams(row, true, true).lowVoltageWarning);
}

TEST(SetParams, OddRowsNeverGiveOutOfRangeValues)
{
    struct Case {
        ChipRecord row;
        std::uint32_t size;
        int page;
        int regs;
        bool spi;
    } const cases[] = {
        {{}, 0, 0, 0, false}, // empty fields yield 0
        {{"x", "id_spi1", 128.0 * 1024 * 1024, -5, 0, "", "", 1e300}, kMaxChipSize, 0, INT32_MAX, false},
        {{"x", "ID_SPI25", 64.0 * 1024 * 1024, 256, 0, "", "", 1}, 64u * 1024 * 1024, 256, 1, true}, // the largest
        {{"x", "ID_24C02", -1, 1e12, 0, "", "", -1e300}, 0, static_cast<int>(kMaxChipSize), INT32_MIN, false},
        {{"x", "ID_SPI25", std::nan(""), std::nan(""), 0, "", "", 1}, 0, 0, 1, true},
    };
    for (const Case& c : cases) {
        const ChipSelection s = SetParams(c.row, true, true);
        EXPECT_EQ(s.chip.ChipSize, c.size);
        EXPECT_EQ(s.chip.PageSize, c.page);
        EXPECT_EQ(s.chip.StatusRegCount, c.regs);
        EXPECT_EQ(s.spiControls, c.spi);
        EXPECT_FALSE(s.lowVoltageWarning);
    }
}
