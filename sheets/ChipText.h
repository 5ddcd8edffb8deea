#pragma once
// Chip.txt: the chip names grouped by manufacturer, marked up for a forum post. Lines end in CR LF.
// For each manufacturer, ascending without regard to case: a line break, "<br /><br />[b]", the
// name, "[/b]<br />" and a line break; then the names of its chips, each followed by ", ", on one
// line. Manufacturer names that differ only in case are one manufacturer, shown as first met.

#include <string>
#include <vector>

#include "chipdb/ChipRecord.h"

namespace sheets {

// The rows in the order they are to be listed (the table's current order).
std::string ChipTextList(const std::vector<chipdb::ChipRecord>& rows);

} // namespace sheets
