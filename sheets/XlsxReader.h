#pragma once
// Reads the first worksheet of an .xlsx workbook (a zip of XML parts) with minizip and
// QXmlStreamReader: shared strings, inline strings, formula results and numbers. The file is
// untrusted: every part's size is capped and any damage becomes an error, never a crash.

#include <filesystem>

#include "sheets/Sheet.h"

namespace sheets {

// No part of a workbook is read beyond this many bytes once unpacked.
inline constexpr unsigned long long kMaxPartSize = 64ull << 20;

Sheet ReadXlsx(const std::filesystem::path& file);

} // namespace sheets
