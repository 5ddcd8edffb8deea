#include "sheets/XlsReader.h"

#include <freexl.h>

#include <algorithm>

namespace sheets {

Sheet ReadXls(const std::filesystem::path& file)
{
    Sheet sheet;
    const void* handle = nullptr;
    const auto fail = [&](int code) {
        const std::string detail = "FreeXL error " + std::to_string(code);
        sheet.rows.clear();
        sheet.error = TextPair{"The workbook is damaged or is no .xls workbook: " + detail,
                               "Книга повреждена или не является книгой .xls: " + detail};
        return sheet;
    };
    if (const int rc = freexl_open(file.c_str(), &handle); rc != FREEXL_OK) {
        if (handle) freexl_close(handle);
        return fail(rc);
    }
    unsigned int rowCount = 0;
    unsigned short columnCount = 0;
    int rc = freexl_select_active_worksheet(handle, 0);
    if (rc == FREEXL_OK) rc = freexl_worksheet_dimensions(handle, &rowCount, &columnCount);
    const unsigned short columns = std::min<unsigned short>(columnCount, kSheetColumns);
    for (unsigned int r = 0; rc == FREEXL_OK && r < rowCount; ++r) {
        SheetRow row{int(r) + 1, std::vector<Cell>(columns)};
        bool empty = true;
        for (unsigned short c = 0; rc == FREEXL_OK && c < columns; ++c) {
            FreeXL_CellValue value{};
            if ((rc = freexl_get_cell_value(handle, r, c, &value)) != FREEXL_OK) break;
            Cell& cell = row.cells[c];
            switch (value.type) {
            case FREEXL_CELL_INT: cell = {Cell::Kind::Number, {}, double(value.value.int_value)}; break;
            case FREEXL_CELL_DOUBLE: cell = {Cell::Kind::Number, {}, value.value.double_value}; break;
            case FREEXL_CELL_NULL: break;
            default: // texts, and dates and times as text
                cell = {Cell::Kind::Text, value.value.text_value ? value.value.text_value : "", 0};
            }
            empty = empty && cell.kind == Cell::Kind::Empty;
        }
        if (!empty) sheet.rows.push_back(std::move(row));
    }
    freexl_close(handle);
    if (rc != FREEXL_OK) return fail(rc);
    return sheet;
}

} // namespace sheets
