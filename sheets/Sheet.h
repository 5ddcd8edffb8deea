#pragma once
// A worksheet as the readers deliver it: its non-empty rows, each with its cells from column 1 on.

#include <optional>
#include <string>
#include <vector>

#include "text/TextPair.h"

namespace sheets {

struct Cell {
    enum class Kind { Empty, Text, Number };
    Kind kind = Kind::Empty;
    std::string text;  // UTF-8, for Text
    double number = 0; // for Number
};

struct SheetRow {
    int number = 0;          // 1 for the sheet's first row
    std::vector<Cell> cells; // cells[0] is column 1 (A)
};

struct Sheet {
    std::vector<SheetRow> rows;    // ascending row numbers
    std::optional<TextPair> error; // the file could not be read; rows are then incomplete
};

// Only this many columns matter to the chip table; readers drop the rest.
inline constexpr int kSheetColumns = 10;

} // namespace sheets
