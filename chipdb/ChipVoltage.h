#pragma once
// A chip's supply voltage range, from the VMIN and VMAX fields of its row.

#include <optional>

#include "chipdb/ChipRecord.h"
#include "text/TextPair.h"

namespace chipdb {

struct VoltageRange {
    int minMillivolts = 0;
    int maxMillivolts = 0;
    bool operator==(const VoltageRange&) const = default;
};

// Nullopt unless both fields hold a whole number of millivolts, 1..20000, minimum <= maximum.
std::optional<VoltageRange> voltageOf(const ChipRecord& row);

// "2.7–3.6 V" / "2,7–3,6 В"; a single voltage when both ends agree.
TextPair voltageText(const VoltageRange& range);

// The chip dialog's line: "Supply: 2.7–3.6 V" / "Питание: 2,7–3,6 В", or that it is not known.
TextPair supplyText(const std::optional<VoltageRange>& range);

} // namespace chipdb
