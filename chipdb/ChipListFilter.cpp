#include "chipdb/ChipListFilter.h"

#include <algorithm>
#include <cctype>

namespace chipdb {
namespace {

bool containsIgnoringCase(const std::string& text, const std::string& part)
{
    const auto it = std::search(text.begin(), text.end(), part.begin(), part.end(), [](char a, char b) {
        return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
    });
    return it != text.end() || part.empty();
}

} // namespace

bool ChipListFilter::accepts(const ChipRecord& r) const
{
    if (!recordFilterEnabled) return true;
    return signatureMode ? containsIgnoringCase(r.SIGNATURE, signatureText)
                         : containsIgnoringCase(r.CHIPTEXT, searchText);
}

} // namespace chipdb
