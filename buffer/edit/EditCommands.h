#pragma once

#include "text/TextPair.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The hexadecimal key filter of the fill field and of the hexadecimal search field: turns the
// key into upper case and accepts Backspace, Enter, Esc, 0-9 and A-F; any other key becomes the
// null character, which the field then ignores. Returns whether the key was accepted.
bool SetDig(char& key);

// The fill box value: nothing for an empty text, the text read as a hexadecimal number of one
// or two digits otherwise, 0 when it cannot be read that way.
std::optional<std::uint8_t> FillValue(std::string_view text);

// Exchanges bytes i and i + 1 for i = 0, 2, 4 ... below chipSize. With an odd chipSize the last
// chip byte trades places with the byte just past the chip data, if the block has one.
void SwapBytes(std::span<std::uint8_t> block, std::size_t chipSize);

enum class SearchKind { Hex = 0, Text = 1 };

// Hex search text: one byte per pair of hexadecimal digits from the start, stopping at the first
// pair that is not two such digits (so a trailing single digit is dropped).
std::vector<std::uint8_t> HexPattern(std::string_view text);
// Text search: one byte per character. ASCII stays as it is, Cyrillic letters take their
// Windows-1251 codes (the code page Russian dumps use), other Latin-1 characters their own code,
// anything else '?'.
std::vector<std::uint8_t> TextPattern(std::u32string_view text);
// The byte a typed character stands for in the character column, by the same table.
std::uint8_t CharacterByte(char32_t c);

// Appended to the search text in the box shown when a search finds nothing.
inline const TextPair kNotFoundSuffix{" Not found.", " Не найдено."};
