#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// CRC-16/ARC: reflected polynomial 0xA001, initial value 0, no final XOR ("123456789" -> 0xBB3D).
std::uint16_t CRC16(std::span<const std::uint8_t> bytes);
// Continues a CRC16 over further bytes, for data that arrives in pieces.
std::uint16_t CRC16Update(std::uint16_t crc, std::span<const std::uint8_t> bytes);

// CRC-32 as zlib and PKZIP compute it ("123456789" -> 0xCBF43926).
std::uint32_t CRC32(std::span<const std::uint8_t> bytes);

// CRC16 of `count` bytes of `bytes` from `offset`; count 0 means to the end. The range is
// clamped to the bytes present, so a short block never reads past its end.
std::uint16_t CRC16OfRange(std::span<const std::uint8_t> bytes, std::size_t offset, std::size_t count);
