#pragma once
// The device list editor's spreadsheet commands, apart from any dialog: load chip rows from an
// .xlsx, .xls or .csv file, save them as an .xlsx workbook or a .csv file, list them in Chip.txt.

#include <filesystem>
#include <optional>
#include <vector>

#include "chipdb/ChipTable.h"
#include "sheets/ChipSheet.h"
#include "text/TextPair.h"

namespace sheets {

// A .csv file larger than this is no chip list.
inline constexpr unsigned long long kMaxCsvSize = 64ull << 20;

// Reads and checks every row; the format follows the file's extension (any case). A .csv file is
// in the chip source's own format (chipdb/ChipCsv.h). On an error the rows are not to be used.
ChipRows LoadChipSheet(const std::filesystem::path& file);

// By the file's extension: .csv in the chip source's format, anything else an .xlsx workbook.
std::optional<TextPair> SaveChipSheet(const std::filesystem::path& file, const std::vector<chipdb::ChipRecord>& rows);
// Written through a temporary file renamed over the target.
std::optional<TextPair> SaveChipText(const std::filesystem::path& file, const std::vector<chipdb::ChipRecord>& rows);

// Every row of the table, filtered or not, in its current order.
std::vector<chipdb::ChipRecord> RowsInCurrentOrder(const chipdb::ChipTable& table);

} // namespace sheets
