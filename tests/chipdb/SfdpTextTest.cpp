#include "chipdb/sfdp/SfdpText.h"
#include "chipdb/sfdp/SfdpDumps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace sfdp;

namespace {

Parsed ParsedDump(std::string_view part)
{
    const auto& dumps = Dumps().dumps;
    const auto dump = std::find_if(dumps.begin(), dumps.end(), [&](const Dump& d) { return d.part == part; });
    return dump == dumps.end() ? Parse({}) : Parse(dump->bytes);
}

const std::vector<uint8_t> Winbond128{0xEF, 0x40, 0x18};

} // namespace

TEST(SfdpText, OneLineSummary)
{
    EXPECT_EQ(SummaryText(Winbond128, ParsedDump("W25Q128JV").basic),
              (TextPair{"SFDP chip EF4018, 16 MiB, page 256, 4 KiB erase 20h",
                        "SFDP: чип EF4018, 16 МиБ, страница 256, стирание 4 КиБ 20h"}));
    // The Zetta part under Winbond's id: its 1.0 table states no page.
    EXPECT_EQ(SummaryText(Winbond128, ParsedDump("ZD25Q128C").basic),
              (TextPair{"SFDP chip EF4018, 2 MiB, 4 KiB erase 20h", "SFDP: чип EF4018, 2 МиБ, стирание 4 КиБ 20h"}));
    BasicFlashParameters noSectorErase = ParsedDump("SST26VF064B").basic;
    noSectorErase.sectorEraseOpcode.reset();
    EXPECT_EQ(SummaryText({}, noSectorErase), (TextPair{"SFDP chip, 8 MiB, page 256, no 4 KiB erase",
                                                        "SFDP: чип, 8 МиБ, страница 256, без стирания 4 КиБ"}));
}

TEST(SfdpText, ChipInformationLines)
{
    const auto lines = DetailLines(ParsedDump("MX25U25635F"));
    std::vector<std::string> english, russian;
    for (const TextPair& line : lines) {
        english.push_back(line.en);
        russian.push_back(line.ru);
    }
    EXPECT_EQ(english, (std::vector<std::string>{
                           "SFDP revision 1.6, basic flash parameters 1.6 (16 DWORDs)",
                           "Size: 32 MiB (256 Mbit)",
                           "Page: 256 bytes",
                           "4 KiB erase: 20h",
                           "Erase types: 4 KiB 20h, 32 KiB 52h, 64 KiB D8h",
                           "Address bytes: 3 or 4",
                           "Status register protection: non-volatile",
                           "Fast reads: 1-1-2, 1-2-2, 1-4-4, 1-1-4, DTR",
                           "Other tables: maker C2h 1.0, 4-byte address instructions 1.0",
                       }));
    EXPECT_EQ(russian, (std::vector<std::string>{
                           "SFDP версии 1.6, основные параметры 1.6 (16 DWORD)",
                           "Объём: 32 МиБ (256 Мбит)",
                           "Страница: 256 байт",
                           "Стирание 4 КиБ: 20h",
                           "Типы стирания: 4 КиБ 20h, 32 КиБ 52h, 64 КиБ D8h",
                           "Байты адреса: 3 или 4",
                           "Защита в регистре состояния: энергонезависимая",
                           "Быстрое чтение: 1-1-2, 1-2-2, 1-4-4, 1-1-4, DTR",
                           "Другие таблицы: производителя C2h 1.0, команды 4-байтного адреса 1.0",
                       }));

    // What differs on other parts: a 1.0 table without page, volatile protection, a wrong addressing.
    const auto has = [](const std::vector<TextPair>& all, const TextPair& line) {
        return std::find(all.begin(), all.end(), line) != all.end();
    };
    EXPECT_TRUE(has(DetailLines(ParsedDump("MX25L12835F")),
                    {"Page: not stated (table before JESD216A), 64 bytes or more",
                     "Страница: не указана (таблица до JESD216A), 64 байта или больше"}));
    EXPECT_TRUE(has(DetailLines(ParsedDump("SST26VF064B")),
                    {"Status register protection: volatile, written after 06h",
                     "Защита в регистре состояния: энергозависимая, запись после 06h"}));
    EXPECT_TRUE(has(DetailLines(ParsedDump("IS25WP256")), {"Address bytes: 3 (wrong for 32 MiB, which needs 4)",
                                                           "Байты адреса: 3 (неверно для 32 МиБ: нужно 4)"}));
}

TEST(SfdpText, EveryErrorIsSaidInBothLanguages)
{
    std::set<std::string> english;
    for (uint8_t code = uint8_t(Error::NoSignature); code <= uint8_t(Error::BadDensity); ++code) {
        Parsed parsed;
        parsed.error = static_cast<Error>(code);
        const TextPair text = ErrorText(parsed);
        EXPECT_FALSE(text.en.empty() || text.ru.empty()) << int(code);
        EXPECT_NE(text.en, text.ru);
        EXPECT_TRUE(english.insert(text.en).second) << "said twice: " << text.en;
    }
    Parsed truncated;
    truncated.error = Error::Truncated;
    truncated.available = 256;
    truncated.needed = 608;
    EXPECT_EQ(ErrorText(truncated), (TextPair{"The SFDP is incomplete: 608 bytes are needed, 256 were read.",
                                              "SFDP неполна: нужно 608 байт, прочитано 256."}));
    EXPECT_EQ(ErrorText(ParsedDump("W25Q128JV")), TextPair{});
}

TEST(SfdpText, Sizes)
{
    EXPECT_EQ(SizeText(uint64_t(1) << 30), (TextPair{"1 GiB", "1 ГиБ"}));
    EXPECT_EQ(SizeText(3u << 20), (TextPair{"3 MiB", "3 МиБ"}));
    EXPECT_EQ(SizeText(1536), (TextPair{"1536 bytes", "1536 байт"}));
    EXPECT_EQ(SizeText(512 * 1024), (TextPair{"512 KiB", "512 КиБ"}));
}
