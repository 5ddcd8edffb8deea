#include "sheets/ChipSheetFiles.h"

#include <fstream>

#include "chipdb/ChipCsv.h"
#include "fileio/AtomicFileWriter.h"
#include "sheets/ChipText.h"
#include "sheets/XlsReader.h"
#include "sheets/XlsxReader.h"
#include "sheets/XlsxWriter.h"

namespace sheets {
namespace {

std::string lowerExtension(const std::filesystem::path& file)
{
    std::string e = file.extension().string();
    for (char& c : e) c = char(std::tolower(static_cast<unsigned char>(c)));
    return e;
}

ChipRows loadCsv(const std::filesystem::path& file)
{
    ChipRows out;
    std::ifstream in(file, std::ios::binary);
    std::string text;
    if (in) {
        in.seekg(0, std::ios::end);
        const auto size = in.tellg();
        if (size > std::streamoff(kMaxCsvSize)) {
            out.error = TextPair{"The file is too large for a chip list.", "Файл слишком велик для списка микросхем."};
            return out;
        }
        in.seekg(0);
        text.resize(std::size_t(size));
        in.read(text.data(), size);
    }
    if (!in) {
        out.error = TextPair{"The file cannot be read.", "Файл не удается прочитать."};
        return out;
    }
    chipdb::ChipCsv csv = chipdb::parseChipCsv(text);
    if (!csv.errors.empty()) {
        const chipdb::CsvError& e = csv.errors.front();
        out.error = TextPair{"Line " + std::to_string(e.line) + ": " + e.message,
                             "Строка " + std::to_string(e.line) + ": " + e.message};
        return out;
    }
    for (chipdb::CsvRow& row : csv.rows) out.rows.push_back(std::move(row.record));
    return out;
}

// The chip source's format, header line first; a cell holds no separator, quote or line break, so
// a row with one is refused, naming the chip, rather than written in a way no reader takes back.
std::optional<TextPair> saveCsv(const std::filesystem::path& file, const std::vector<chipdb::ChipRecord>& rows)
{
    std::string text;
    for (int f = 0; f < chipdb::kChipFieldCount; ++f) {
        if (f) text += ',';
        text += chipdb::kChipFields[f].name;
    }
    text += '\n';
    for (const chipdb::ChipRecord& row : rows) {
        for (int f = 0; f < chipdb::kChipFieldCount; ++f) {
            const std::string cell = chipdb::fieldText(row, chipdb::ChipField(f));
            if (cell.find_first_of(",\"\r\n") != std::string::npos)
                return TextPair{"The chip " + row.CHIPTEXT + " has a comma, quote or line break in " +
                                    std::string(chipdb::kChipFields[f].name) + ", which a CSV cell cannot hold.",
                                "У микросхемы " + row.CHIPTEXT + " в поле " + std::string(chipdb::kChipFields[f].name) +
                                    " есть запятая, кавычка или перевод строки: в ячейке CSV их быть не может."};
            if (f) text += ',';
            text += cell;
        }
        text += '\n';
    }
    fileio::AtomicFileWriter writer(file);
    writer.Write(text);
    if (const std::error_code ec = writer.Commit())
        return TextPair{"The file cannot be written: " + ec.message(), "Не удалось записать файл: " + ec.message()};
    return std::nullopt;
}

} // namespace

ChipRows LoadChipSheet(const std::filesystem::path& file)
{
    const std::string extension = lowerExtension(file);
    if (extension == ".csv") return loadCsv(file);
    Sheet sheet;
    if (extension == ".xlsx")
        sheet = ReadXlsx(file);
    else if (extension == ".xls")
        sheet = ReadXls(file);
    else
        sheet.error =
            TextPair{"Only .xlsx, .xls and .csv files can be loaded.", "Загружаются только файлы .xlsx, .xls и .csv."};
    if (sheet.error) return {{}, sheet.error};
    return ChipRowsFromSheet(sheet);
}

std::optional<TextPair> SaveChipSheet(const std::filesystem::path& file, const std::vector<chipdb::ChipRecord>& rows)
{
    return lowerExtension(file) == ".csv" ? saveCsv(file, rows) : WriteXlsx(file, rows);
}

std::optional<TextPair> SaveChipText(const std::filesystem::path& file, const std::vector<chipdb::ChipRecord>& rows)
{
    fileio::AtomicFileWriter writer(file);
    writer.Write(ChipTextList(rows));
    if (const std::error_code ec = writer.Commit())
        return TextPair{"Chip.txt cannot be written: " + ec.message(), "Не удалось записать Chip.txt: " + ec.message()};
    return std::nullopt;
}

std::vector<chipdb::ChipRecord> RowsInCurrentOrder(const chipdb::ChipTable& table)
{
    chipdb::ChipTable all; // no filter and no listeners: every row in the same order
    all.assign(table.rows());
    all.setOrder(table.order());
    std::vector<chipdb::ChipRecord> rows;
    rows.reserve(std::size_t(all.visibleCount()));
    for (int i = 0; i < all.visibleCount(); ++i) rows.push_back(all.visibleRow(i));
    return rows;
}

} // namespace sheets
