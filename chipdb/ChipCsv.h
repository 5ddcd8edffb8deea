#pragma once
// The readable chip source (chipdb/data/chips.csv): a header line naming the fields in any order
// (the eight original ones at least; VMIN and VMAX may be left out), then one chip per line. Cells hold no commas and
// no quotes; numbers are decimal; an empty number cell is an empty field. Blank lines and lines starting with '#' are
// skipped.

#include <string>
#include <string_view>
#include <vector>

#include "chipdb/ChipRecord.h"

namespace chipdb {

struct CsvRow {
    int line = 0;
    ChipRecord record;
};

struct CsvError {
    int line = 0;
    std::string message;
};

struct ChipCsv {
    std::vector<CsvRow> rows;
    std::vector<CsvError> errors;
};

ChipCsv parseChipCsv(std::string_view text);

} // namespace chipdb
