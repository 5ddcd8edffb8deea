#include "sheets/XlsxWriter.h"

#include <xlsxwriter.h>

#include <QString>

#include <cstdint>
#include <system_error>
#include <vector>

#include "fileio/AtomicFileWriter.h"
#include "fileio/InputFile.h"

#include "sheets/ChipSheet.h"

namespace sheets {
namespace {

TextPair writeError(const std::string& detail)
{
    return {"The workbook cannot be written: " + detail, "Не удалось записать книгу: " + detail};
}

// libxlsxwriter takes UTF-8 only; stray bytes of an older 8-bit text become U+FFFD.
std::string validUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size())).toStdString();
}

} // namespace

std::optional<TextPair> WriteXlsx(const std::filesystem::path& file, const std::vector<chipdb::ChipRecord>& rows)
{
    std::filesystem::path partial = file;
    partial += ".partial";
    lxw_workbook* workbook = workbook_new(partial.c_str());
    if (!workbook) return writeError("cannot create " + partial.string());
    lxw_worksheet* worksheet = workbook_add_worksheet(workbook, nullptr);
    lxw_error error = worksheet ? LXW_NO_ERROR : LXW_ERROR_MEMORY_MALLOC_FAILED;
    for (std::size_t r = 0; error == LXW_NO_ERROR && r < rows.size(); ++r) {
        for (int c = 0; error == LXW_NO_ERROR && c < kSheetColumns; ++c) {
            const chipdb::ChipField field = kColumnFields[c];
            if (chipdb::fieldDef(field).type == chipdb::FieldType::Text) {
                const std::string text = validUtf8(chipdb::fieldText(rows[r], field));
                if (!text.empty())
                    error = worksheet_write_string(worksheet, lxw_row_t(r), lxw_col_t(c), text.c_str(), nullptr);
            } else if (const chipdb::Number n = chipdb::numberValue(rows[r], field)) {
                error = worksheet_write_number(worksheet, lxw_row_t(r), lxw_col_t(c), *n, nullptr);
            }
        }
    }
    const lxw_error closed = workbook_close(workbook); // writes the file and frees the workbook
    if (error == LXW_NO_ERROR) error = closed;
    // libxlsxwriter writes only to a path of its own; the finished workbook then goes to the
    // target the way every other file does.
    std::error_code ec;
    if (error == LXW_NO_ERROR) {
        fileio::InputFile workbookFile(partial);
        std::vector<std::uint8_t> bytes(workbookFile.Size());
        if (workbookFile.Read(bytes) != bytes.size() || workbookFile.error())
            ec = workbookFile.error() ? workbookFile.error() : std::make_error_code(std::errc::io_error);
        else
            ec = fileio::WriteFileAtomically(file, {bytes});
    }
    std::error_code ignored;
    std::filesystem::remove(partial, ignored);
    if (error != LXW_NO_ERROR) return writeError(lxw_strerror(error));
    if (ec) return writeError(ec.message());
    return std::nullopt;
}

} // namespace sheets
