#include "chipdb/SetParams.h"

#include <cmath>

#include "chipdb/ChipKind.h"

namespace chipdb {
namespace {

// Rounds half to even, like the table's own conversion; empty, NaN and out-of-range values
// land inside [low, high] instead of overflowing.
std::int64_t roundedWithin(const Number& v, std::int64_t low, std::int64_t high)
{
    const double d = v.value_or(0.0);
    if (std::isnan(d)) return low;
    const double r = std::nearbyint(d);
    if (r <= static_cast<double>(low)) return low;
    if (r >= static_cast<double>(high)) return high;
    return static_cast<std::int64_t>(r);
}

} // namespace

std::string capacityText(std::uint32_t chipSize)
{
    if (chipSize < 1024) return std::to_string(chipSize) + "x8\n";
    if (chipSize < 1048576) return std::to_string(chipSize / 1024) + "Kx8\n";
    return std::to_string(chipSize / 1048576) + "Mx8\n";
}

TextPair selectionLogLine(std::string_view chipName, std::string_view capacity, std::string_view manufacturer,
                          bool ackCheck)
{
    TextPair line;
    if (!ackCheck) {
        line.en = "Selected mode \"No test ACK\" \n";
        line.ru = "Выбран режим \"Без проверки ACK\" \n";
    }
    line.en.append("Selected device: ").append(chipName).append(",Capacity: ").append(capacity);
    line.en.append("Manufacturer: ").append(manufacturer);
    line.ru.append("Выбран чип: ").append(chipName).append(",Размер: ").append(capacity);
    line.ru.append("Производитель: ").append(manufacturer).append("\n");
    return line;
}

ChipSelection SetParams(const ChipRecord& row, bool ackCheck, bool fromDialog)
{
    ChipSelection s;
    s.chip.ChipKind = row.CHIPID;
    s.chip.ChipName = row.CHIPTEXT;
    s.chip.ChipSize = static_cast<std::uint32_t>(roundedWithin(row.CHIPSIZE, 0, kMaxChipSize));
    s.chip.PageSize = static_cast<int>(roundedWithin(row.PAGESIZE, 0, kMaxChipSize));
    s.chip.StatusRegCount = static_cast<int>(roundedWithin(row.FREQUENCY, INT32_MIN, INT32_MAX));
    s.lowVoltageWarning = fromDialog && s.chip.ChipName.find("_18") != std::string::npos;
    s.capacity = capacityText(s.chip.ChipSize);
    s.logLine = selectionLogLine(s.chip.ChipName, s.capacity, row.MANUF, ackCheck);
    s.spiControls = isSpiChip(s.chip.ChipKind);
    return s;
}

} // namespace chipdb
