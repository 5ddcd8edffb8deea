// The spreadsheet readers of the device list editor on any file: an .xlsx (a zip of XML parts),
// an .xls (FreeXL) or a .csv, chosen by the input's first byte. Rows come back checked, or an
// error that names the cause, never both.

#include "fuzz/FuzzSupport.h"
#include "sheets/ChipSheetFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const ScratchFile xlsx("sheet.xlsx"), xls("sheet.xls"), csv("sheet.csv");
    // Real workbooks start with their own magic bytes; text goes to the .csv reader.
    const bool zip = size >= 2 && data[0] == 'P' && data[1] == 'K';
    const bool ole = size >= 2 && data[0] == 0xD0 && data[1] == 0xCF;
    const ScratchFile& file = zip ? xlsx : ole ? xls : csv;
    file.Write(std::span<const std::uint8_t>(data, size));
    const sheets::ChipRows rows = sheets::LoadChipSheet(file.path());
    if (rows.error) FUZZ_CHECK(!rows.error->en.empty() && !rows.error->ru.empty());
    for (const chipdb::ChipRecord& row : rows.rows) FUZZ_CHECK(row.CHIPTEXT.size() <= 22);
    return 0;
}
