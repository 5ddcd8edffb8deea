#pragma once
// Writes chip rows as an .xlsx workbook with libxlsxwriter: one worksheet, the column layout of
// ChipSheet.h, texts as text cells and numbers as number cells, no header row.

#include <filesystem>
#include <optional>
#include <vector>

#include "chipdb/ChipRecord.h"
#include "text/TextPair.h"

namespace sheets {

// The workbook is written beside the target and renamed over it when complete, so a failure leaves
// an existing file as it was. Returns the error, if any.
std::optional<TextPair> WriteXlsx(const std::filesystem::path& file, const std::vector<chipdb::ChipRecord>& rows);

} // namespace sheets
