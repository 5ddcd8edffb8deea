#pragma once
// The chip table in a spreadsheet: the first worksheet, one chip per row from row 1, one field per
// column in the order CHIPTEXT, MANUF, CHIPID, CHIPSIZE, PAGESIZE, SIGNATURE, ERTIME, FREQUENCY,
// then VMIN and VMAX (supply voltage in millivolts), which sheets of the eight original columns
// leave empty. Text fields are text cells, number fields number cells holding integers.

#include <array>
#include <optional>
#include <vector>

#include "chipdb/ChipRecord.h"
#include "sheets/Sheet.h"
#include "text/TextPair.h"

namespace sheets {

inline constexpr std::array<chipdb::ChipField, kSheetColumns> kColumnFields{
    chipdb::ChipField::CHIPTEXT, chipdb::ChipField::MANUF,     chipdb::ChipField::CHIPID, chipdb::ChipField::CHIPSIZE,
    chipdb::ChipField::PAGESIZE, chipdb::ChipField::SIGNATURE, chipdb::ChipField::ERTIME, chipdb::ChipField::FREQUENCY,
    chipdb::ChipField::VMIN,     chipdb::ChipField::VMAX};

struct ChipRows {
    std::vector<chipdb::ChipRecord> rows;
    std::optional<TextPair> error; // names the first bad row; rows are then not to be used
};

// Checks and converts every row. Empty rows are skipped, and so is a first row that names the
// fields in column order (a header another tool may have added). A number cell becomes the nearest
// integer (255.0 is 255); text in a number column must be a decimal number; an empty number cell
// is an empty field; a number in a text column becomes its decimal text. A text longer than 22
// characters or a number column that holds no number is an error naming the row. A header row of
// the eight original columns counts as a header too.
ChipRows ChipRowsFromSheet(const Sheet& sheet);

} // namespace sheets
