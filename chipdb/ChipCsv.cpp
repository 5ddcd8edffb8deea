#include "chipdb/ChipCsv.h"

#include <array>
#include <optional>

namespace chipdb {
namespace {

std::vector<std::string_view> splitCells(std::string_view line)
{
    std::vector<std::string_view> cells;
    for (std::size_t start = 0;;) {
        const auto comma = line.find(',', start);
        cells.push_back(line.substr(start, comma - start));
        if (comma == std::string_view::npos) return cells;
        start = comma + 1;
    }
}

// Column of each field, or an error text.
std::optional<std::array<int, kChipFieldCount>> readHeader(const std::vector<std::string_view>& cells,
                                                           std::string& error)
{
    std::array<int, kChipFieldCount> column;
    column.fill(-1);
    for (int c = 0; c < static_cast<int>(cells.size()); ++c) {
        const auto f = fieldByName(cells[c]);
        if (!f) {
            error = "unknown field '" + std::string(cells[c]) + "'";
            return std::nullopt;
        }
        int& slot = column[static_cast<int>(*f)];
        if (slot >= 0) {
            error = "field named twice: " + std::string(cells[c]);
            return std::nullopt;
        }
        slot = c;
    }
    for (int i = 0; i < kRequiredFieldCount; ++i)
        if (column[i] < 0) {
            error = "missing field " + std::string(kChipFields[i].name);
            return std::nullopt;
        }
    return column;
}

} // namespace

ChipCsv parseChipCsv(std::string_view text)
{
    ChipCsv out;
    std::optional<std::array<int, kChipFieldCount>> column;
    std::size_t columns = 0;
    int lineNo = 0;
    for (std::size_t start = 0; start < text.size();) {
        auto end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        const auto cells = splitCells(line);
        if (!column) {
            std::string error;
            column = readHeader(cells, error);
            if (!column) {
                out.errors.push_back({lineNo, error});
                return out;
            }
            columns = cells.size();
            continue;
        }
        if (cells.size() != columns) {
            out.errors.push_back(
                {lineNo, "expected " + std::to_string(columns) + " cells, found " + std::to_string(cells.size())});
            continue;
        }
        CsvRow row{lineNo, {}};
        bool ok = true;
        for (int i = 0; i < kChipFieldCount; ++i) {
            if ((*column)[i] < 0) continue; // a later field the source does not have
            const auto f = static_cast<ChipField>(i);
            const std::string_view cell = cells[(*column)[i]];
            if (fieldDef(f).type == FieldType::Text && characterCount(cell) > fieldDef(f).width) {
                out.errors.push_back({lineNo, std::string(kChipFields[i].name) + " longer than 22 characters"});
                ok = false;
            } else if (!setFieldText(row.record, f, cell)) {
                out.errors.push_back({lineNo, std::string(kChipFields[i].name) + " is not a number"});
                ok = false;
            }
        }
        if (ok) out.rows.push_back(std::move(row));
    }
    if (!column) out.errors.push_back({lineNo, "no header line"});
    return out;
}

} // namespace chipdb
