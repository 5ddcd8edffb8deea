#include "buffer/Crc.h"

#include <array>
#include <bit>
#include <cstring>

#include <zlib.h>

namespace {

// Slicing-by-8 tables: table[0] is the classic byte table, table[k] advances a byte by k more
// zero bytes, so eight bytes cost eight lookups and no loop-carried shift per byte.
using Crc16Tables = std::array<std::array<std::uint16_t, 256>, 8>;

constexpr Crc16Tables MakeCrc16Tables()
{
    Crc16Tables t{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned crc = i;
        for (int round = 0; round < 8; ++round) crc = (crc & 1) ? (crc >> 1) ^ 0xA001u : crc >> 1;
        t[0][i] = static_cast<std::uint16_t>(crc);
    }
    for (unsigned k = 1; k < 8; ++k)
        for (unsigned i = 0; i < 256; ++i)
            t[k][i] = static_cast<std::uint16_t>((t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF]);
    return t;
}

constexpr Crc16Tables kCrc16 = MakeCrc16Tables();

} // namespace

std::uint16_t CRC16Update(std::uint16_t crc16, std::span<const std::uint8_t> bytes)
{
    std::uint32_t crc = crc16;
    const std::uint8_t* p = bytes.data();
    std::size_t n = bytes.size();
    if constexpr (std::endian::native == std::endian::little) {
        for (; n >= 8; n -= 8, p += 8) {
            std::uint64_t v;
            std::memcpy(&v, p, 8);
            v ^= crc;
            crc = kCrc16[7][v & 0xFF] ^ kCrc16[6][(v >> 8) & 0xFF] ^ kCrc16[5][(v >> 16) & 0xFF] ^
                  kCrc16[4][(v >> 24) & 0xFF] ^ kCrc16[3][(v >> 32) & 0xFF] ^ kCrc16[2][(v >> 40) & 0xFF] ^
                  kCrc16[1][(v >> 48) & 0xFF] ^ kCrc16[0][v >> 56];
        }
    }
    for (; n > 0; --n, ++p) crc = (crc >> 8) ^ kCrc16[0][(crc ^ *p) & 0xFF];
    return static_cast<std::uint16_t>(crc);
}

std::uint16_t CRC16(std::span<const std::uint8_t> bytes)
{
    return CRC16Update(0, bytes);
}

std::uint32_t CRC32(std::span<const std::uint8_t> bytes)
{
    return static_cast<std::uint32_t>(crc32_z(0, bytes.data(), bytes.size()));
}

std::uint16_t CRC16OfRange(std::span<const std::uint8_t> bytes, std::size_t offset, std::size_t count)
{
    if (offset >= bytes.size()) return 0;
    const std::size_t available = bytes.size() - offset;
    return CRC16(bytes.subspan(offset, count == 0 || count > available ? available : count));
}
