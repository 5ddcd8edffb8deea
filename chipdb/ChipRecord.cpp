#include "chipdb/ChipRecord.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace chipdb {
namespace {

// Works for const and non-const records alike.
template <class Record>
auto textSlot(Record& r, ChipField f) -> decltype(&r.CHIPTEXT)
{
    switch (f) {
    case ChipField::CHIPTEXT: return &r.CHIPTEXT;
    case ChipField::CHIPID: return &r.CHIPID;
    case ChipField::MANUF: return &r.MANUF;
    case ChipField::SIGNATURE: return &r.SIGNATURE;
    default: return nullptr;
    }
}

template <class Record>
auto numberSlot(Record& r, ChipField f) -> decltype(&r.CHIPSIZE)
{
    switch (f) {
    case ChipField::CHIPSIZE: return &r.CHIPSIZE;
    case ChipField::PAGESIZE: return &r.PAGESIZE;
    case ChipField::ERTIME: return &r.ERTIME;
    case ChipField::FREQUENCY: return &r.FREQUENCY;
    case ChipField::VMIN: return &r.VMIN;
    case ChipField::VMAX: return &r.VMAX;
    default: return nullptr;
    }
}

bool isContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

} // namespace

std::optional<ChipField> fieldByName(std::string_view name)
{
    for (int i = 0; i < kChipFieldCount; ++i)
        if (kChipFields[i].name == name) return static_cast<ChipField>(i);
    return std::nullopt;
}

std::string fieldText(const ChipRecord& r, ChipField f)
{
    if (const std::string* t = textSlot(r, f)) return *t;
    const Number* n = numberSlot(r, f);
    return n && *n ? formatNumber(**n) : std::string();
}

Number numberValue(const ChipRecord& r, ChipField f)
{
    const Number* n = numberSlot(r, f);
    return n ? *n : Number();
}

double fieldNumber(const ChipRecord& r, ChipField f)
{
    if (const Number* n = numberSlot(r, f)) return n->value_or(0.0);
    return parseNumber(*textSlot(r, f)).value_or(0.0);
}

bool setFieldText(ChipRecord& r, ChipField f, std::string_view text)
{
    if (std::string* t = textSlot(r, f)) {
        *t = cutToCharacters(text, fieldDef(f).width);
        return true;
    }
    Number* n = numberSlot(r, f);
    if (text.find_first_not_of(" \t") == std::string_view::npos) {
        n->reset();
        return true;
    }
    const auto value = parseNumber(text);
    if (!value) return false;
    *n = value;
    return true;
}

void setFieldNumber(ChipRecord& r, ChipField f, Number value)
{
    if (Number* n = numberSlot(r, f))
        *n = value;
    else
        *textSlot(r, f) = value ? formatNumber(*value) : std::string();
}

std::optional<double> parseNumber(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return std::nullopt;
    text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    std::string s(text);
    if (const auto comma = s.find(','); comma != std::string::npos && s.find('.') == std::string::npos) s[comma] = '.';
    const char* begin = s.data();
    if (*begin == '+') ++begin;
    double v = 0;
    const auto [end, ec] = std::from_chars(begin, s.data() + s.size(), v, std::chars_format::general);
    if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::string formatNumber(double v)
{
    char buf[32];
    if (std::abs(v) < 1e15 && v == std::floor(v))
        std::snprintf(buf, sizeof buf, "%.0f", v);
    else
        std::snprintf(buf, sizeof buf, "%.15g", v);
    return buf;
}

std::size_t characterCount(std::string_view text)
{
    std::size_t n = 0;
    for (char c : text) n += !isContinuationByte(c);
    return n;
}

std::string_view cutToCharacters(std::string_view text, std::size_t count)
{
    std::size_t seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isContinuationByte(text[i])) continue;
        if (seen++ == count) return text.substr(0, i);
    }
    return text;
}

} // namespace chipdb
