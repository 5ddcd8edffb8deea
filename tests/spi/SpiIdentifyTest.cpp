#include "SpiFixture.h"

#include "spi/SpiAutoSelect.h"
#include "spi/SpiIdentify.h"

#include <gtest/gtest.h>

using namespace chipdb;
using Outcome = AutoSelectResult::Outcome;

namespace {

EmulatedChipConfig Answering(std::vector<uint8_t> jedec, std::array<uint8_t, 2> res = {0xFF, 0xFF})
{
    EmulatedChipConfig config = SpiChip("ID_SPI1", 1u << 20);
    config.jedecId = std::move(jedec);
    config.resId = res;
    return config;
}

ChipRecord Row(const char* name, const char* signature)
{
    ChipRecord r;
    r.CHIPTEXT = name;
    r.CHIPID = "ID_SPI1";
    r.SIGNATURE = signature;
    return r;
}

LogLine Navy(const std::string& text)
{
    return {{text, text}, false};
}

} // namespace

TEST(SpiIdentify, AutoSelectMatchesTheTableBySignature)
{
    struct Case {
        const char* what;
        EmulatedChipConfig chip;
        const char* kind;
        Outcome outcome;
        int matches;
        std::string searchText;
        std::string chosen; // current row for OneMatch
        SpiLog log;
        std::optional<LogLine> afterChoosing;
    } cases[] = {
        {"JEDEC, lower-case signature",
         Answering({0xC2, 0x20, 0x16}),
         "ID_SPI1",
         Outcome::OneMatch,
         1,
         "C22016",
         "MX25L3205",
         {},
         {}},
        {"two rows, one signature",
         Answering({0xBF, 0x25, 0x8D}),
         "ID_SPI1",
         Outcome::Several,
         2,
         "BF258D",
         "",
         {},
         {}},
        {"RES after no JEDEC match",
         Answering({}, {0x00, 0x13}),
         "ID_SPI1",
         Outcome::OneMatch,
         1,
         "0013",
         "AT25F512",
         {},
         Navy("\nChip ID = 0x0013 (AT25F512)")},
        {"no match",
         Answering({0x1F, 0x47, 0x01}),
         "ID_SPI1",
         Outcome::Unknown,
         0,
         "FFFF",
         "",
         {{{"Chip ID = 0x1F4701 (Unknown device)", "Chip ID = 0x1F4701 (Неизвестный чип)"}, false}},
         {}},
        {"id 0", Answering({0x00, 0x00, 0x00}), "ID_SPI1", Outcome::ZeroId, 0, "", "", {}, {}},
        {"all ones",
         Answering({}),
         "ID_SPI1",
         Outcome::NoChip,
         0,
         "",
         "",
         {{{"\nDevice is defective or not installed!", "Чип неисправен или не установлен!"}, true}},
         {}},
        {"all ones, kind without identification",
         Answering({}),
         "ID_SPI25",
         Outcome::Unknown,
         0,
         "FFFF",
         "",
         {{{"Chip ID = 0x00FFFF (Unknown device)", "Chip ID = 0x00FFFF (Неизвестный чип)"}, false}},
         {}},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.what);
        EmulatedSpi spi(c.chip);
        ChipTable table;
        ChipListFilter filter;
        table.setFilterTest([&](const ChipRecord& r) { return filter.accepts(r); });
        table.assign({Row("W25Q64", "EF4017"), Row("MX25L3205", "c22016"), Row("TWIN_A", "BF258D"),
                      Row("TWIN_B", "xBF258Dx"), Row("AT25F512", "0013")});
        SpiLog log;
        const AutoSelectResult result = ReadChipId(spi.device, table, filter, c.kind, log);
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(result.matches, c.matches);
        EXPECT_EQ(result.searchText, c.searchText);
        EXPECT_EQ(log, c.log);
        EXPECT_EQ(result.afterChoosing, c.afterChoosing);
        if (!c.chosen.empty()) {
            ASSERT_NE(table.current(), nullptr);
            EXPECT_EQ(table.current()->CHIPTEXT, c.chosen);
        }
        if (!c.searchText.empty()) {
            EXPECT_TRUE(filter.signatureMode);
            EXPECT_TRUE(table.filtered());
        }
    }
}

TEST(SpiIdentify, JedecFallsBackToResAndFailureReadsAsNoAnswer)
{
    SpiLog log;
    EmulatedSpi jedec(Answering({0xEF, 0x40, 0x17}));
    EXPECT_EQ(GetSpiId(jedec.device, log), 0xEF4017u);
    EXPECT_EQ(jedec.frames(), (std::vector<std::string>{"9F 00 00 00"}));

    EmulatedSpi res(Answering({}, {0x00, 0x13}));
    EXPECT_EQ(GetSpiId(res.device, log), 0x0013u);
    EXPECT_EQ(GetSpiIdAB(res.device), 0x0013u);
    EXPECT_TRUE(log.empty());

    res.emulator->unplug();
    EXPECT_EQ(GetSpiId(res.device, log), NoJedecAnswer);
    EXPECT_EQ(GetSpiIdAB(res.device), NoResAnswer);
    EXPECT_EQ(log, (SpiLog{{SameText("Ошибка чтения сигнатгры!"), true}}));
}

TEST(SpiIdentify, ChipPresentNeedsAnAnswerUnlessTheKindWorksWithout)
{
    const LogLine defective{{"\nDevice is defective or not installed!", "\nЧип неисправен или не установлен!"}, true};
    struct Case {
        std::vector<uint8_t> jedec;
        std::array<uint8_t, 2> res;
        const char* kind;
        bool present;
    } cases[] = {
        {{0xEF, 0x40, 0x17}, {0xFF, 0xFF}, "ID_SPI1", true},
        {{}, {0x00, 0x13}, "ID_SPI1", true},
        {{}, {0xFF, 0xFF}, "ID_SPI1", false},
        {{}, {0xFF, 0xFF}, "ID_SPI3", false},
        {{}, {0xFF, 0xFF}, "ID_SPI2", true},
        {{}, {0xFF, 0xFF}, "ID_SPI22", true},
        {{}, {0xFF, 0xFF}, "ID_SPI24", true},
        {{}, {0xFF, 0xFF}, "ID_SPI25", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        EmulatedSpi spi(Answering(c.jedec, c.res));
        SpiLog log;
        EXPECT_EQ(ChipPresent(spi.device, c.kind, log), c.present);
        EXPECT_EQ(log, c.present ? SpiLog{} : SpiLog{defective});
    }
}

TEST(SpiIdentify, IdButtonAndUniqueIdLines)
{
    EmulatedSpi spi(SpiChip("ID_SPI1", 8u << 20, 256, "EF4017"));
    EXPECT_EQ(SpiIdLines(spi.device), (SpiLog{Navy("\nJEDEC ID(9F) = 0xEF4017"), Navy("RES ID(AB) = 0x001616"),
                                              Navy("REMS ID(90) = 0x00EF16\n")}));
    EXPECT_EQ(UniqueIdLine(spi.device), Navy("Unique ID = D162384C132A5E07"));
}
