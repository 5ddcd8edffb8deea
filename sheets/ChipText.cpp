#include "sheets/ChipText.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace sheets {
namespace {

std::string folded(const std::string& text)
{
    std::string out = text;
    for (char& c : out) c = char(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

} // namespace

std::string ChipTextList(const std::vector<chipdb::ChipRecord>& rows)
{
    struct Group {
        std::string heading; // the spelling met first
        std::string names;
    };
    std::map<std::string, Group> groups; // by folded name: ascending without regard to case
    for (const chipdb::ChipRecord& row : rows) {
        Group& g = groups.try_emplace(folded(row.MANUF), Group{row.MANUF, {}}).first->second;
        g.names += row.CHIPTEXT + ", ";
    }
    std::string text;
    for (const auto& [key, g] : groups) text += "\r\n<br /><br />[b]" + g.heading + "[/b]<br />\r\n" + g.names;
    return text;
}

} // namespace sheets
