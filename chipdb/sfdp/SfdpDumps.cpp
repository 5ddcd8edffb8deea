#include "chipdb/sfdp/SfdpDumps.h"

#include "chipdb/sfdp/SfdpHexText.h"

#include <algorithm>

namespace sfdp {

namespace {

std::vector<std::string_view> Split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t at = text.find(separator);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos) return parts;
        text.remove_prefix(at + 1);
    }
}

std::string_view TrimmedLine(std::string_view line)
{
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
    return line;
}

// One index line "PART,JEDEC,ROW ROW ..." with its dump; a fault text when it cannot be read.
std::string ReadEntry(std::string_view line, std::span<const DumpText> texts, Dump& dump)
{
    const auto cells = Split(line, ',');
    if (cells.size() != 3) return std::string(line) + ": not three cells";
    dump.part = std::string(cells[0]);
    const HexTextRead id = ReadHexText(cells[1]);
    if (!id.ok() || id.bytes.size() != 3) return dump.part + ": JEDEC id is not three bytes";
    dump.jedecId = id.bytes;
    for (const std::string_view row : Split(cells[2], ' '))
        if (!row.empty()) dump.rows.emplace_back(row);
    const auto text = std::find_if(texts.begin(), texts.end(), [&](const DumpText& t) { return t.part == dump.part; });
    if (text == texts.end()) return dump.part + ": no " + dump.part + ".hex";
    const HexTextRead bytes = ReadHexText(text->hex);
    if (!bytes.ok()) return dump.part + ".hex: unreadable at line " + std::to_string(bytes.line);
    dump.bytes = bytes.bytes;
    return {};
}

} // namespace

DumpCatalogue ReadDumpCatalogue(std::string_view index, std::span<const DumpText> texts)
{
    DumpCatalogue catalogue;
    std::vector<std::string> listed;
    bool headerSeen = false;
    for (const std::string_view raw : Split(index, '\n')) {
        const std::string_view line = TrimmedLine(raw);
        if (line.empty() || line.front() == '#') continue;
        if (!headerSeen) {
            headerSeen = true;
            if (line != "DUMP,JEDEC,ROWS") catalogue.faults.push_back("index: no DUMP,JEDEC,ROWS header");
            continue;
        }
        Dump dump;
        std::string fault = ReadEntry(line, texts, dump);
        if (fault.empty() && std::find(listed.begin(), listed.end(), dump.part) != listed.end())
            fault = dump.part + ": listed twice";
        listed.push_back(dump.part);
        if (fault.empty())
            catalogue.dumps.push_back(std::move(dump));
        else
            catalogue.faults.push_back(std::move(fault));
    }
    for (const DumpText& text : texts)
        if (std::find(listed.begin(), listed.end(), text.part) == listed.end())
            catalogue.faults.push_back(std::string(text.part) + ".hex: not in the index");
    return catalogue;
}

const DumpCatalogue& Dumps()
{
    static const DumpCatalogue catalogue = ReadDumpCatalogue(EmbeddedDumpIndex(), EmbeddedDumpTexts());
    return catalogue;
}

const Dump* DumpOfRow(std::string_view chipText)
{
    for (const Dump& dump : Dumps().dumps)
        if (std::find(dump.rows.begin(), dump.rows.end(), chipText) != dump.rows.end()) return &dump;
    return nullptr;
}

} // namespace sfdp
