#include "sheets/XlsxReader.h"

#include <minizip/unzip.h>

#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>

#include <charconv>
#include <memory>

namespace sheets {
namespace {

const TextPair kDamaged{"The workbook is damaged or is no .xlsx workbook: ",
                        "Книга повреждена или не является книгой .xlsx: "};

struct Failure {
    std::string detail;
};

TextPair damaged(const std::string& detail)
{
    return {kDamaged.en + detail, kDamaged.ru + detail};
}

class Zip {
public:
    explicit Zip(const std::filesystem::path& file) : zip_(unzOpen64(file.c_str()), &unzClose) {}
    bool isOpen() const { return zip_ != nullptr; }

    // The unpacked part, or nothing when the workbook has no such part.
    std::optional<QByteArray> part(const std::string& name)
    {
        if (unzLocateFile(zip_.get(), name.c_str(), 2 /*names in any case*/) != UNZ_OK) return std::nullopt;
        unz_file_info64 info{};
        if (unzGetCurrentFileInfo64(zip_.get(), &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
            throw Failure{name + " cannot be read"};
        if (info.uncompressed_size > kMaxPartSize) throw Failure{name + " is too large"};
        if (unzOpenCurrentFile(zip_.get()) != UNZ_OK) throw Failure{name + " cannot be unpacked"};
        QByteArray bytes;
        char chunk[65536];
        int n = 0;
        while ((n = unzReadCurrentFile(zip_.get(), chunk, sizeof chunk)) > 0) {
            if (static_cast<unsigned long long>(bytes.size()) + n > kMaxPartSize)
                n = -1;
            else
                bytes.append(chunk, n);
            if (n < 0) break;
        }
        const int closed = unzCloseCurrentFile(zip_.get()); // checks the CRC
        if (n < 0 || closed != UNZ_OK) throw Failure{name + " cannot be unpacked"};
        return bytes;
    }

private:
    std::unique_ptr<void, int (*)(unzFile)> zip_;
};

void failOnXmlError(const QXmlStreamReader& xml, const std::string& part)
{
    if (xml.hasError()) throw Failure{part + ": " + xml.errorString().toStdString()};
}

// The folder of a part ("xl/" for "xl/workbook.xml") joined with a relationship's target.
std::string resolve(const std::string& base, const QString& target)
{
    if (target.startsWith('/')) return target.mid(1).toStdString();
    std::string folder = base.substr(0, base.rfind('/') + 1);
    QString rest = target;
    while (rest.startsWith(QLatin1String("../"))) {
        rest = rest.mid(3);
        const auto cut = folder.find_last_of('/', folder.empty() ? 0 : folder.size() - 2);
        folder = cut == std::string::npos ? std::string() : folder.substr(0, cut + 1);
    }
    return folder + rest.toStdString();
}

// The relationships of a part: id, type and target of each.
struct Relationship {
    QString id, type, target;
};

std::vector<Relationship> readRelationships(const QByteArray& xmlBytes, const std::string& part)
{
    std::vector<Relationship> all;
    QXmlStreamReader xml(xmlBytes);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("Relationship")) {
            const auto a = xml.attributes();
            all.push_back({a.value("Id").toString(), a.value("Type").toString(), a.value("Target").toString()});
        }
    }
    failOnXmlError(xml, part);
    return all;
}

QString targetOfType(const std::vector<Relationship>& all, QLatin1String typeEnd)
{
    for (const Relationship& r : all)
        if (r.type.endsWith(typeEnd)) return r.target;
    return {};
}

// The relationship id of the first sheet listed in the workbook.
QString firstSheetId(const QByteArray& xmlBytes, const std::string& part)
{
    QXmlStreamReader xml(xmlBytes);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("sheet")) {
            for (const auto& a : xml.attributes())
                if (a.name() == QLatin1String("id") && !a.namespaceUri().isEmpty()) return a.value().toString();
        }
    }
    failOnXmlError(xml, part);
    throw Failure{part + " lists no worksheet"};
}

// The text of an <si> or <is> element: all its <t>, leaving out phonetic runs.
QString richText(QXmlStreamReader& xml)
{
    QString text;
    int phonetic = 0;
    const QString end = xml.name().toString();
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (xml.name() == QLatin1String("rPh"))
                ++phonetic;
            else if (xml.name() == QLatin1String("t") && phonetic == 0)
                text += xml.readElementText();
        } else if (token == QXmlStreamReader::EndElement) {
            if (xml.name() == QLatin1String("rPh"))
                --phonetic;
            else if (xml.name() == end)
                break;
        }
    }
    return text;
}

std::vector<std::string> readSharedStrings(const QByteArray& xmlBytes, const std::string& part)
{
    std::vector<std::string> strings;
    QXmlStreamReader xml(xmlBytes);
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("si"))
            strings.push_back(richText(xml).toStdString());
    failOnXmlError(xml, part);
    return strings;
}

// "BC12" -> column 55 (1-based); 0 when the reference has no letters.
int columnOf(QStringView reference)
{
    int column = 0;
    for (QChar c : reference) {
        if (c >= 'A' && c <= 'Z')
            column = column * 26 + (c.unicode() - 'A' + 1);
        else if (c >= 'a' && c <= 'z')
            column = column * 26 + (c.unicode() - 'a' + 1);
        else
            break;
        if (column > 16384) return 16385; // past Excel's last column
    }
    return column;
}

std::optional<double> parseDouble(const QString& text)
{
    const std::string s = text.trimmed().toStdString();
    double value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size() || s.empty()) return std::nullopt;
    return value;
}

Cell readCell(QXmlStreamReader& xml, const QString& type, const std::vector<std::string>& shared, int row,
              const std::string& part)
{
    QString value;
    bool inlineText = false;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement && xml.name() == QLatin1String("v"))
            value = xml.readElementText();
        else if (token == QXmlStreamReader::StartElement && xml.name() == QLatin1String("is")) {
            value = richText(xml);
            inlineText = true;
        } else if (token == QXmlStreamReader::EndElement && xml.name() == QLatin1String("c"))
            break;
    }
    failOnXmlError(xml, part);
    if (type == QLatin1String("s")) {
        const auto index = parseDouble(value);
        if (!index || *index < 0 || *index >= double(shared.size()) || *index != std::floor(*index))
            throw Failure{"row " + std::to_string(row) + " refers to a shared string that does not exist"};
        return {Cell::Kind::Text, shared[std::size_t(*index)], 0};
    }
    if (inlineText || type == QLatin1String("inlineStr") || type == QLatin1String("str") ||
        type == QLatin1String("e") || type == QLatin1String("d"))
        return {Cell::Kind::Text, value.toStdString(), 0};
    if (value.isEmpty()) return {};
    if (const auto number = parseDouble(value)) return {Cell::Kind::Number, {}, *number};
    return {Cell::Kind::Text, value.toStdString(), 0};
}

std::vector<SheetRow> readWorksheet(const QByteArray& xmlBytes, const std::vector<std::string>& shared,
                                    const std::string& part)
{
    std::vector<SheetRow> rows;
    QXmlStreamReader xml(xmlBytes);
    int rowNumber = 0, column = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == QLatin1String("row")) {
            const auto r = parseDouble(xml.attributes().value("r").toString());
            const int next = r && *r > rowNumber && *r <= 1048576 ? int(*r) : rowNumber + 1;
            rowNumber = next;
            column = 0;
            rows.push_back({rowNumber, {}});
        } else if (xml.name() == QLatin1String("c") && !rows.empty()) {
            const auto a = xml.attributes();
            const int referenced = columnOf(a.value("r"));
            column = referenced > 0 ? referenced : column + 1;
            const Cell cell = readCell(xml, a.value("t").toString(), shared, rowNumber, part);
            if (column <= kSheetColumns) {
                auto& cells = rows.back().cells;
                if (int(cells.size()) < column) cells.resize(column);
                cells[column - 1] = cell;
            }
        }
    }
    failOnXmlError(xml, part);
    return rows;
}

} // namespace

Sheet ReadXlsx(const std::filesystem::path& file)
{
    Sheet sheet;
    Zip zip(file);
    if (!zip.isOpen()) {
        sheet.error = damaged("not a zip archive");
        return sheet;
    }
    try {
        std::string workbook = "xl/workbook.xml";
        if (const auto rels = zip.part("_rels/.rels"))
            if (const QString target =
                    targetOfType(readRelationships(*rels, "_rels/.rels"), QLatin1String("/officeDocument"));
                !target.isEmpty())
                workbook = resolve("", target);
        const auto workbookXml = zip.part(workbook);
        if (!workbookXml) throw Failure{"no " + workbook};
        const std::string relsName =
            workbook.substr(0, workbook.rfind('/') + 1) + "_rels/" + workbook.substr(workbook.rfind('/') + 1) + ".rels";
        const auto relsXml = zip.part(relsName);
        if (!relsXml) throw Failure{"no " + relsName};
        const std::vector<Relationship> rels = readRelationships(*relsXml, relsName);

        const QString id = firstSheetId(*workbookXml, workbook);
        std::string worksheet;
        for (const Relationship& r : rels)
            if (r.id == id) worksheet = resolve(workbook, r.target);
        if (worksheet.empty()) throw Failure{"the first worksheet has no part"};

        std::vector<std::string> shared;
        if (const QString target = targetOfType(rels, QLatin1String("/sharedStrings")); !target.isEmpty()) {
            const std::string name = resolve(workbook, target);
            if (const auto strings = zip.part(name)) shared = readSharedStrings(*strings, name);
        }
        const auto worksheetXml = zip.part(worksheet);
        if (!worksheetXml) throw Failure{"no " + worksheet};
        sheet.rows = readWorksheet(*worksheetXml, shared, worksheet);
    } catch (const Failure& failure) {
        sheet.rows.clear();
        sheet.error = damaged(failure.detail);
    }
    return sheet;
}

} // namespace sheets
