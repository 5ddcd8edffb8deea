#pragma once
// Reads the first worksheet of a legacy .xls workbook (BIFF) with FreeXL.

#include <filesystem>

#include "sheets/Sheet.h"

namespace sheets {

Sheet ReadXls(const std::filesystem::path& file);

} // namespace sheets
