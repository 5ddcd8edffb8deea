#include "update/VersionCompare.h"

#include <climits>
#include <vector>

namespace update {
namespace {

struct Part {
    bool hasNumber = false;
    long long number = 0;
    std::string_view suffix;
};

int digitValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// "%i": blanks, an optional sign, then 0x and hexadecimal digits, 0 and octal digits, or decimal
// digits. Values beyond the range of long long stay at its ends.
Part readPart(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int base = 10;
    if (i < text.size() && text[i] == '0') {
        base = 8;
        if (i + 2 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X') && digitValue(text[i + 2]) < 16) {
            base = 16;
            i += 2;
        }
    }
    const std::size_t firstDigit = i;
    unsigned long long value = 0;
    constexpr unsigned long long limit = static_cast<unsigned long long>(LLONG_MAX) + 1;
    for (; i < text.size() && digitValue(text[i]) < base; ++i) {
        value = value * base + digitValue(text[i]);
        if (value > limit) value = limit;
    }
    if (i == firstDigit) return {false, 0, text};
    Part part{true, 0, text.substr(i)};
    if (negative)
        part.number = value >= limit ? LLONG_MIN : -static_cast<long long>(value);
    else
        part.number = value >= limit ? LLONG_MAX : static_cast<long long>(value);
    return part;
}

std::vector<std::string_view> splitAtPoints(std::string_view text)
{
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t point = text.find('.', start);
        parts.push_back(text.substr(start, point - start));
        if (point == std::string_view::npos) return parts;
        start = point + 1;
    }
}

// Byte order of unsigned characters.
int compareSuffixes(std::string_view a, std::string_view b)
{
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
        if (ca != cb) return ca > cb ? 1 : -1;
    }
    return a.size() == b.size() ? 0 : a.size() > b.size() ? 1 : -1;
}

} // namespace

int CompareVersions(std::string_view a, std::string_view b)
{
    if (a == b) return 0;
    const auto partsA = splitAtPoints(a), partsB = splitAtPoints(b);
    const std::size_t common = partsA.size() < partsB.size() ? partsA.size() : partsB.size();
    for (std::size_t i = 0; i < common; ++i) {
        const Part pa = readPart(partsA[i]), pb = readPart(partsB[i]);
        if (pa.hasNumber != pb.hasNumber) return pa.hasNumber ? 1 : -1;
        if (pa.hasNumber && pa.number != pb.number) return pa.number > pb.number ? 1 : -1;
        if (pa.suffix.empty() != pb.suffix.empty()) return pa.suffix.empty() ? 1 : -1;
        if (const int c = compareSuffixes(pa.suffix, pb.suffix); c != 0) return c;
    }
    return partsA.size() > partsB.size() ? 1 : -1;
}

} // namespace update
