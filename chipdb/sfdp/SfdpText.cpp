#include "chipdb/sfdp/SfdpText.h"

#include <array>
#include <bit>
#include <cstdio>
#include <string>
#include <utility>

namespace sfdp {

namespace {

std::string Hex(uint8_t byte)
{
    char text[4];
    std::snprintf(text, sizeof text, "%02Xh", byte);
    return text;
}

std::string Version(uint8_t major, uint8_t minor)
{
    return std::to_string(major) + "." + std::to_string(minor);
}

std::string Digits(uint64_t value)
{
    return std::to_string(value);
}

// Joins each language of the parts with ", ".
TextPair Join(const std::vector<TextPair>& parts)
{
    TextPair joined;
    for (const TextPair& part : parts) {
        if (!joined.en.empty()) {
            joined.en += ", ";
            joined.ru += ", ";
        }
        joined.en += part.en;
        joined.ru += part.ru;
    }
    return joined;
}

TextPair Line(const TextPair& label, const TextPair& value)
{
    return {label.en + ": " + value.en, label.ru + ": " + value.ru};
}

// Sizes of chips are counted in bits by their makers: "128 Mbit" beside "16 MiB".
TextPair BitsText(uint64_t bytes)
{
    const uint64_t bits = bytes * 8;
    if (bits % (uint64_t(1) << 30) == 0) return {Digits(bits >> 30) + " Gbit", Digits(bits >> 30) + " Гбит"};
    if (bits % (uint64_t(1) << 20) == 0) return {Digits(bits >> 20) + " Mbit", Digits(bits >> 20) + " Мбит"};
    return {Digits(bits >> 10) + " Kbit", Digits(bits >> 10) + " Кбит"};
}

TextPair EraseTypeText(const EraseType& type)
{
    const TextPair size = SizeText(type.size);
    return {size.en + " " + Hex(type.opcode), size.ru + " " + Hex(type.opcode)};
}

TextPair PageText(const BasicFlashParameters& basic)
{
    if (basic.pageSize) return {Digits(*basic.pageSize) + " bytes", Digits(*basic.pageSize) + " байт"};
    if (basic.pageGranularity)
        return {"not stated (table before JESD216A), 64 bytes or more",
                "не указана (таблица до JESD216A), 64 байта или больше"};
    return {"not stated (table before JESD216A), single bytes", "не указана (таблица до JESD216A), по байту"};
}

TextPair AddressingText(const BasicFlashParameters& basic)
{
    if (basic.addressingContradictsDensity()) {
        const TextPair size = SizeText(basic.density);
        return {"3 (wrong for " + size.en + ", which needs 4)", "3 (неверно для " + size.ru + ": нужно 4)"};
    }
    switch (basic.addressing) {
    case Addressing::ThreeBytes: return SameText("3");
    case Addressing::ThreeOrFourBytes: return {"3 or 4", "3 или 4"};
    case Addressing::FourBytes: return SameText("4");
    case Addressing::Reserved: break;
    }
    return {"reserved code 11b", "зарезервированный код 11b"};
}

TextPair FastReadsText(const FastReads& reads)
{
    if (!reads.any()) return {"none", "нет"};
    std::vector<TextPair> names;
    const std::array<std::pair<bool, const char*>, 5> all{{{reads.read112, "1-1-2"},
                                                           {reads.read122, "1-2-2"},
                                                           {reads.read144, "1-4-4"},
                                                           {reads.read114, "1-1-4"},
                                                           {reads.doubleTransferRate, "DTR"}}};
    for (const auto& [present, name] : all)
        if (present) names.push_back(SameText(name));
    return Join(names);
}

// JEDEC's own tables have an ID LSB of even parity; a maker's tables carry its odd-parity JEP106
// code there.
TextPair TableName(uint16_t id)
{
    switch (id) {
    case BasicFlashTableId: return {"basic flash parameters", "основные параметры"};
    case 0xFF81: return {"sector map", "карта секторов"};
    case 0xFF84: return {"4-byte address instructions", "команды 4-байтного адреса"};
    case 0xFF87: return {"status and control registers", "регистры состояния и управления"};
    default: break;
    }
    const uint8_t lsb = static_cast<uint8_t>(id);
    if (std::popcount(lsb) % 2 == 1) return {"maker " + Hex(lsb), "производителя " + Hex(lsb)};
    char text[8];
    std::snprintf(text, sizeof text, "%04Xh", id);
    return SameText(text);
}

TextPair OtherTablesText(const Parsed& parsed)
{
    std::vector<TextPair> tables;
    bool basicSkipped = false;
    for (const ParameterHeader& table : parsed.header.tables) {
        // The decoded basic table is the subject of the other lines.
        if (!basicSkipped && table.id == BasicFlashTableId && table.major == parsed.basic.major &&
            table.minor == parsed.basic.minor) {
            basicSkipped = true;
            continue;
        }
        const TextPair name = TableName(table.id);
        const std::string version = " " + Version(table.major, table.minor);
        tables.push_back({name.en + version, name.ru + version});
    }
    return Join(tables);
}

} // namespace

TextPair SizeText(uint64_t bytes)
{
    if (bytes != 0 && bytes % (uint64_t(1) << 30) == 0)
        return {Digits(bytes >> 30) + " GiB", Digits(bytes >> 30) + " ГиБ"};
    if (bytes != 0 && bytes % (uint64_t(1) << 20) == 0)
        return {Digits(bytes >> 20) + " MiB", Digits(bytes >> 20) + " МиБ"};
    if (bytes != 0 && bytes % (uint64_t(1) << 10) == 0)
        return {Digits(bytes >> 10) + " KiB", Digits(bytes >> 10) + " КиБ"};
    return {Digits(bytes) + " bytes", Digits(bytes) + " байт"};
}

TextPair SummaryText(std::span<const uint8_t> jedecId, const BasicFlashParameters& basic)
{
    std::string id;
    for (const uint8_t byte : jedecId) id += Hex(byte).substr(0, 2);
    std::vector<TextPair> parts{id.empty() ? TextPair{"SFDP chip", "SFDP: чип"}
                                           : TextPair{"SFDP chip " + id, "SFDP: чип " + id},
                                SizeText(basic.density)};
    if (basic.pageSize) parts.push_back({"page " + Digits(*basic.pageSize), "страница " + Digits(*basic.pageSize)});
    if (basic.sectorEraseOpcode)
        parts.push_back(
            {"4 KiB erase " + Hex(*basic.sectorEraseOpcode), "стирание 4 КиБ " + Hex(*basic.sectorEraseOpcode)});
    else
        parts.push_back({"no 4 KiB erase", "без стирания 4 КиБ"});
    return Join(parts);
}

std::vector<TextPair> DetailLines(const Parsed& parsed)
{
    const BasicFlashParameters& basic = parsed.basic;
    const std::string revision = Version(parsed.header.major, parsed.header.minor);
    const std::string table = Version(basic.major, basic.minor), dwords = Digits(basic.dwords);
    const TextPair size = SizeText(basic.density), bits = BitsText(basic.density);
    std::vector<TextPair> eraseTypes;
    for (const EraseType& type : basic.eraseTypes) eraseTypes.push_back(EraseTypeText(type));
    const TextPair protection = basic.volatileStatusWriteEnable
                                    ? TextPair{"volatile, written after " + Hex(*basic.volatileStatusWriteEnable),
                                               "энергозависимая, запись после " + Hex(*basic.volatileStatusWriteEnable)}
                                    : TextPair{"non-volatile", "энергонезависимая"};

    std::vector<TextPair> lines{
        {"SFDP revision " + revision + ", basic flash parameters " + table + " (" + dwords + " DWORDs)",
         "SFDP версии " + revision + ", основные параметры " + table + " (" + dwords + " DWORD)"},
        Line({"Size", "Объём"}, {size.en + " (" + bits.en + ")", size.ru + " (" + bits.ru + ")"}),
        Line({"Page", "Страница"}, PageText(basic)),
        Line({"4 KiB erase", "Стирание 4 КиБ"},
             basic.sectorEraseOpcode ? SameText(Hex(*basic.sectorEraseOpcode)) : TextPair{"none", "нет"}),
        Line({"Erase types", "Типы стирания"},
             eraseTypes.empty() ? TextPair{"not stated", "не указаны"} : Join(eraseTypes)),
        Line({"Address bytes", "Байты адреса"}, AddressingText(basic)),
        Line({"Status register protection", "Защита в регистре состояния"}, protection),
        Line({"Fast reads", "Быстрое чтение"}, FastReadsText(basic.fastReads)),
    };
    const TextPair others = OtherTablesText(parsed);
    if (!others.en.empty()) lines.push_back(Line({"Other tables", "Другие таблицы"}, others));
    return lines;
}

TextPair ErrorText(const Parsed& parsed)
{
    const std::string needed = Digits(parsed.needed), available = Digits(parsed.available);
    switch (parsed.error) {
    case Error::None: return {};
    case Error::NoSignature:
        return {"No SFDP: the chip does not answer 5Ah with the SFDP signature.",
                "Нет SFDP: чип не отвечает на 5Ah подписью SFDP."};
    case Error::Truncated:
        return {"The SFDP is incomplete: " + needed + " bytes are needed, " + available + " were read.",
                "SFDP неполна: нужно " + needed + " байт, прочитано " + available + "."};
    case Error::OutOfReach:
        return {"The SFDP points to a table that ends at byte " + needed + ", beyond the first " + Digits(MaxReach) +
                    ": it is not read.",
                "SFDP указывает на таблицу, которая кончается на байте " + needed + ", дальше первых " +
                    Digits(MaxReach) + ": она не читается."};
    case Error::UnsupportedRevision: {
        const std::string revision = Version(parsed.header.major, parsed.header.minor);
        return {"SFDP revision " + revision + " is not supported (only 1.x).",
                "Версия SFDP " + revision + " не поддерживается (только 1.x)."};
    }
    case Error::NoBasicTable:
        return {"The SFDP has no basic flash parameter table.", "В SFDP нет таблицы основных параметров."};
    case Error::ShortBasicTable:
        return {"The SFDP basic flash parameter table is too short to state the size.",
                "Таблица основных параметров SFDP слишком коротка: в ней нет объёма."};
    case Error::BadDensity: return {"The SFDP states an impossible size.", "SFDP указывает невозможный объём."};
    }
    return {};
}

} // namespace sfdp
