#include "buffer/edit/PatternSearch.h"

#include <cstring>
#include <string.h> // memmem

namespace {
std::uint8_t foldCase(std::uint8_t b)
{
    return b >= 'a' && b <= 'z' ? static_cast<std::uint8_t>(b - 'a' + 'A') : b;
}

const std::uint8_t* findIgnoringCase(const std::uint8_t* begin, const std::uint8_t* end,
                                     std::span<const std::uint8_t> pattern)
{
    const std::size_t n = pattern.size();
    const std::uint8_t head = foldCase(pattern[0]);
    for (const std::uint8_t* p = begin; p + n <= end; ++p) {
        if (foldCase(*p) != head) continue;
        std::size_t i = 1;
        while (i < n && foldCase(p[i]) == foldCase(pattern[i])) ++i;
        if (i == n) return p;
    }
    return nullptr;
}
} // namespace

std::int64_t FindPattern(std::span<const std::uint8_t> data, std::span<const std::uint8_t> pattern, std::size_t first,
                         std::size_t last, bool ignoreCase)
{
    if (pattern.empty() || data.empty() || first >= data.size()) return -1;
    const std::size_t end = (last < data.size() - 1 ? last : data.size() - 1) + 1;
    if (end <= first || end - first < pattern.size()) return -1;
    const std::uint8_t* begin = data.data() + first;
    const std::uint8_t* found =
        ignoreCase ? findIgnoringCase(begin, data.data() + end, pattern)
                   : static_cast<const std::uint8_t*>(memmem(begin, end - first, pattern.data(), pattern.size()));
    return found ? static_cast<std::int64_t>(found - data.data()) : -1;
}
