#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>
#include <system_error>

#include "buffer/DumpLoad.h"

// BIN and BRG dumps. `extension` is CurrentFileExt (upper case, with the dot); exactly ".BRG"
// loads as BRG, anything else (the empty extension of a command-line file included) as BIN.
// The file's bytes go to the destination (the TransferBuffer) from offset 0, cut at its size;
// bytes beyond them keep their contents.

// Loads from a file's bytes already in memory.
DumpLoad LoadBin(std::span<const std::uint8_t> file, std::string_view extension, std::span<std::uint8_t> destination,
                 std::size_t chipSize);

// Loads from a file, reading straight into the destination (no file-sized copy). CannotOpen
// (missing, unreadable, not a regular file) leaves it unchanged; ReadError (a failing disk) may
// leave part of the file in it.
DumpLoad LoadBinFile(const std::filesystem::path& path, std::string_view extension, std::span<std::uint8_t> destination,
                     std::size_t chipSize);

// Saves the bytes as a BIN file; for BRG, `registers` (status registers 1 to 3, or nothing for
// an I2C chip) follow the data. Written through a temporary file renamed over the target.
std::error_code SaveBin(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);
std::error_code SaveBrg(const std::filesystem::path& path, std::span<const std::uint8_t> data,
                        std::span<const std::uint8_t> registers);
