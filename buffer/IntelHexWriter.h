#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>

// Intel HEX output: an extended linear address record per 64 KiB segment (also before an empty
// last segment), 16-byte data records with offsets from 0000 in every segment, upper-case digits,
// CR LF line ends, and the end record :00000001FF.

// Hands the text to `sink` in blocks of about 64 KiB; stops and returns false when it refuses one.
bool WriteHex(std::span<const std::uint8_t> source, const std::function<bool(std::string_view)>& sink);

// The whole text at once (for small images and tests).
std::string HexText(std::span<const std::uint8_t> source);

// Writes `source` (the first ChipSize bytes of the TransferBuffer) through a temporary file
// renamed over `path`. Nothing is reported to the user when this fails.
std::error_code WriteHexFile(const std::filesystem::path& path, std::span<const std::uint8_t> source);
