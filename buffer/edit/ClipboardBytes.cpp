#include "buffer/edit/ClipboardBytes.h"

#include "buffer/HexDigits.h"
#include "buffer/edit/EditBuffer.h"
#include "buffer/edit/EditCommands.h"

#include <algorithm>

namespace {
int hexValue(char c)
{
    return hexdigits::kValue[static_cast<unsigned char>(c)];
}

bool isSeparator(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ',';
}
} // namespace

std::string CopyText(std::span<const std::uint8_t> bytes, bool hexColumn)
{
    std::string text;
    text.reserve(hexColumn ? bytes.size() * 3 : bytes.size());
    for (std::uint8_t b : bytes) {
        if (!hexColumn) {
            text.push_back(b >= 0x20 && b < 0x7F ? char(b) : '.');
            continue;
        }
        if (!text.empty()) text.push_back(' ');
        text.append(hexdigits::kPairs[b].data(), 2);
    }
    return text;
}

std::optional<std::vector<std::uint8_t>> ParseHexText(std::string_view text)
{
    std::vector<std::uint8_t> bytes;
    std::size_t i = 0;
    while (i < text.size()) {
        if (isSeparator(text[i])) {
            ++i;
            continue;
        }
        if (text[i] == '0' && i + 1 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X')) i += 2;
        const std::size_t groupStart = i;
        while (i < text.size() && !isSeparator(text[i])) {
            if (hexValue(text[i]) < 0) return std::nullopt;
            ++i;
        }
        const std::size_t digits = i - groupStart;
        if (digits == 0 || digits % 2 != 0) return std::nullopt;
        for (std::size_t d = groupStart; d < i; d += 2)
            bytes.push_back(std::uint8_t(hexValue(text[d]) << 4 | hexValue(text[d + 1])));
    }
    if (bytes.empty()) return std::nullopt;
    return bytes;
}

std::vector<std::uint8_t> BytesToPaste(std::optional<std::span<const std::uint8_t>> raw, std::u32string_view text,
                                       bool hexColumn)
{
    if (raw) return {raw->begin(), raw->end()};
    if (hexColumn) {
        std::string narrow;
        bool ascii = true;
        for (char32_t c : text) {
            ascii = ascii && c < 0x80;
            narrow.push_back(char(c));
        }
        if (ascii)
            if (auto bytes = ParseHexText(narrow)) return std::move(*bytes);
    }
    return TextPattern(text);
}

std::size_t PasteOver(EditBuffer& buffer, std::span<const std::uint8_t> bytes)
{
    const std::size_t start = buffer.selectionStart();
    if (start >= buffer.size() || bytes.empty()) return 0;
    const std::size_t count = std::min(bytes.size(), buffer.size() - start);
    buffer.writeBytes(start, bytes.first(count));
    buffer.moveCaret(std::min(start + count, buffer.size() - 1));
    return count;
}
