#include "buffer/edit/EditCommands.h"

#include <utility>

namespace {
int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}
} // namespace

bool SetDig(char& key)
{
    if (key >= 'a' && key <= 'z') key = static_cast<char>(key - 'a' + 'A');
    const bool accepted =
        key == 8 || key == 13 || key == 27 || (key >= '0' && key <= '9') || (key >= 'A' && key <= 'F');
    if (!accepted) key = '\0';
    return accepted;
}

std::optional<std::uint8_t> FillValue(std::string_view text)
{
    if (text.empty()) return std::nullopt;
    if (text.size() > 2) return 0;
    int value = 0;
    for (char c : text) {
        const int digit = hexDigitValue(c);
        if (digit < 0) return 0;
        value = value * 16 + digit;
    }
    return static_cast<std::uint8_t>(value);
}

void SwapBytes(std::span<std::uint8_t> block, std::size_t chipSize)
{
    for (std::size_t i = 0; i < chipSize && i + 1 < block.size(); i += 2) std::swap(block[i], block[i + 1]);
}

std::vector<std::uint8_t> HexPattern(std::string_view text)
{
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
        const int high = hexDigitValue(text[i]);
        const int low = hexDigitValue(text[i + 1]);
        if (high < 0 || low < 0) break;
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    return bytes;
}

std::uint8_t CharacterByte(char32_t c)
{
    if (c >= 0x410 && c <= 0x44F) return static_cast<std::uint8_t>(c - 0x410 + 0xC0);
    if (c == 0x401) return 0xA8; // Ё
    if (c == 0x451) return 0xB8; // ё
    return c < 0x100 ? static_cast<std::uint8_t>(c) : '?';
}

std::vector<std::uint8_t> TextPattern(std::u32string_view text)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size());
    for (char32_t c : text) bytes.push_back(CharacterByte(c));
    return bytes;
}
