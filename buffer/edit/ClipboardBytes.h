#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class EditBuffer;

// Copy and paste in the hex view, apart from any clipboard: the text a copy offers and the bytes a
// paste writes.

// The copied bytes as text: in the hex column upper-case pairs separated by blanks ("0A 1B FF"),
// in the character column printable ASCII as it is and '.' for every other byte.
std::string CopyText(std::span<const std::uint8_t> bytes, bool hexColumn);

// Hex text: bytes of two hexadecimal digits each, any number per group ("A55A" is two bytes),
// groups separated by blanks, line breaks or commas and each optionally prefixed "0x". Nothing
// when the text has anything else, an odd number of digits in a group, or no byte at all.
std::optional<std::vector<std::uint8_t>> ParseHexText(std::string_view text);

// What a paste writes: the clipboard's raw bytes when it has them; otherwise, in the hex column,
// the bytes of its text when that reads as hex text; otherwise the text's characters as the
// character column takes typed ones.
std::vector<std::uint8_t> BytesToPaste(std::optional<std::span<const std::uint8_t>> raw, std::u32string_view text,
                                       bool hexColumn);

// Overwrites bytes from the start of the selection (the caret without one), cut at the end of the
// buffer, which never grows; one undo step. The caret moves to the byte after the pasted ones (the
// last byte at the end). Returns how many bytes were written.
std::size_t PasteOver(EditBuffer& buffer, std::span<const std::uint8_t> bytes);
