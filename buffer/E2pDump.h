#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

#include "buffer/DumpLoad.h"

// E2P dumps (load only): a 152-byte header, "E2P!Lanc" first, the data's CRC16 at offset 148 and
// the CRC16 of header bytes 0..149 at offset 150 (little-endian), then the chip bytes. Any error
// leaves the destination unchanged; otherwise the chip bytes go to it from offset 0, cut at its size.
inline constexpr std::size_t kE2PHeaderSize = 152;

DumpLoad LoadE2P(std::span<const std::uint8_t> file, std::span<std::uint8_t> destination, std::size_t chipSize);

// Reads the file twice (the CRC first, then the data) so that a bad file never touches the
// destination and no file-sized copy is needed. Only a read error in the second pass (a failing
// disk) can leave part of the data in the destination; it is reported as ReadError.
DumpLoad LoadE2PFile(const std::filesystem::path& path, std::span<std::uint8_t> destination, std::size_t chipSize);
