#include "sheets/ChipSheet.h"

#include <cmath>
#include <utility>

namespace sheets {
namespace {

using chipdb::ChipField;
using chipdb::FieldType;

TextPair rowError(int row, const std::string& field, const TextPair& what)
{
    const std::string n = std::to_string(row);
    return {"Row " + n + ": " + field + " " + what.en, "Строка " + n + ": " + field + " " + what.ru};
}

const Cell& cellAt(const SheetRow& row, int column)
{
    static const Cell empty;
    return column < static_cast<int>(row.cells.size()) ? row.cells[column] : empty;
}

bool isEmpty(const SheetRow& row)
{
    for (int c = 0; c < kSheetColumns; ++c)
        if (const Cell& cell = cellAt(row, c);
            cell.kind != Cell::Kind::Empty && !(cell.kind == Cell::Kind::Text && cell.text.empty()))
            return false;
    return true;
}

bool isHeader(const SheetRow& row)
{
    for (int c = 0; c < kSheetColumns; ++c) {
        const Cell& cell = cellAt(row, c);
        const bool named = cell.kind == Cell::Kind::Text && cell.text == chipdb::fieldDef(kColumnFields[c]).name;
        const bool laterLeftOut = c >= chipdb::kRequiredFieldCount && cell.kind == Cell::Kind::Empty;
        if (!named && !laterLeftOut) return false;
    }
    return true;
}

std::optional<TextPair> setField(chipdb::ChipRecord& record, ChipField field, const Cell& cell, int row)
{
    const std::string name(chipdb::fieldDef(field).name);
    if (chipdb::fieldDef(field).type == FieldType::Text) {
        const std::string text = cell.kind == Cell::Kind::Number ? chipdb::formatNumber(cell.number) : cell.text;
        if (chipdb::characterCount(text) > chipdb::kTextFieldWidth)
            return rowError(row, name, {"is longer than 22 characters", "длиннее 22 символов"});
        chipdb::setFieldText(record, field, text);
        return std::nullopt;
    }
    std::optional<double> value;
    if (cell.kind == Cell::Kind::Number)
        value = cell.number;
    else if (cell.kind == Cell::Kind::Text && !cell.text.empty())
        value = chipdb::parseNumber(cell.text);
    else { // an empty cell: an empty field
        chipdb::setFieldNumber(record, field, std::nullopt);
        return std::nullopt;
    }
    if (!value || !std::isfinite(*value)) return rowError(row, name, {"is not a number", "не является числом"});
    chipdb::setFieldNumber(record, field, std::round(*value));
    return std::nullopt;
}

} // namespace

ChipRows ChipRowsFromSheet(const Sheet& sheet)
{
    ChipRows out;
    bool first = true;
    for (const SheetRow& row : sheet.rows) {
        if (isEmpty(row)) continue;
        if (std::exchange(first, false) && isHeader(row)) continue;
        chipdb::ChipRecord record;
        for (int c = 0; c < kSheetColumns; ++c) {
            if (auto error = setField(record, kColumnFields[c], cellAt(row, c), row.number)) {
                out.error = std::move(error);
                return out;
            }
        }
        out.rows.push_back(std::move(record));
    }
    return out;
}

} // namespace sheets
