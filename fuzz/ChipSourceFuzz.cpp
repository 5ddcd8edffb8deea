// The chip source (chips.csv) on any text: every row and every error names a line of the text.

#include <algorithm>
#include <string_view>

#include "chipdb/ChipCsv.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const chipdb::ChipCsv csv = chipdb::parseChipCsv(text);
    const long lines = std::count(text.begin(), text.end(), '\n') + 1;
    for (const auto& row : csv.rows) FUZZ_CHECK(row.line >= 1 && row.line <= lines);
    for (const auto& error : csv.errors) FUZZ_CHECK(error.line >= 0 && error.line <= lines && !error.message.empty());
    return 0;
}
