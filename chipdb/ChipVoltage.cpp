#include "chipdb/ChipVoltage.h"

#include <cmath>
#include <string>

namespace chipdb {
namespace {

constexpr double kHighestMillivolts = 20000;

std::optional<int> millivolts(const Number& n)
{
    if (!n || !std::isfinite(*n) || *n < 1 || *n > kHighestMillivolts || *n != std::floor(*n)) return std::nullopt;
    return static_cast<int>(*n);
}

// 2700 -> "2.7", 1650 -> "1.65", 2000 -> "2.0", with the language's decimal mark.
std::string volts(int mv, char mark)
{
    std::string text = std::to_string(mv / 1000) + mark;
    std::string fraction = std::to_string(1000 + mv % 1000).substr(1);
    while (fraction.size() > 1 && fraction.back() == '0') fraction.pop_back();
    return text + fraction;
}

} // namespace

std::optional<VoltageRange> voltageOf(const ChipRecord& row)
{
    const auto low = millivolts(row.VMIN), high = millivolts(row.VMAX);
    if (!low || !high || *low > *high) return std::nullopt;
    return VoltageRange{*low, *high};
}

TextPair voltageText(const VoltageRange& range)
{
    auto text = [&](char mark, const char* unit) {
        std::string t = volts(range.minMillivolts, mark);
        if (range.maxMillivolts != range.minMillivolts) t += "–" + volts(range.maxMillivolts, mark);
        return t + unit;
    };
    return {text('.', " V"), text(',', " В")};
}

TextPair supplyText(const std::optional<VoltageRange>& range)
{
    if (!range) return {"Supply: not known", "Питание: неизвестно"};
    const TextPair v = voltageText(*range);
    return {"Supply: " + v.en, "Питание: " + v.ru};
}

} // namespace chipdb
