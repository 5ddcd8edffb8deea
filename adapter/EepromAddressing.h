#pragma once
// Geometry and address phase of the 24xx type codes, as the adapter library's block read and
// write and the I2C layer's byte-by-byte access both use them.
//
// The address phase of a random access is the device byte, then one or two memory address
// bytes. Memory address bits that do not fit into the address bytes go into device-address bits
// 1..3: bits 8..10 for the one-byte types 2..4 (24C04..24C16), bits 16..18 for the two-byte
// types 10..12 (24C1024..24C4096). Types 0, 1 and 5..9 send the device byte unchanged. Bit 0 of
// the device base is sent as it is. Type code 13 (no 24xx kind) has no address format.

#include <array>
#include <cstdint>
#include <optional>
#include <span>

struct EepromGeometry {
    uint32_t capacity;    // bytes
    uint32_t pageSize;    // a page size every part of the type honours (smallest in use)
    uint8_t addressBytes; // 1 or 2
    uint32_t regionSize;  // bytes reachable without changing the device byte
};

inline constexpr uint8_t EepromTypeCount = 13; // codes 0..12; 13 means "none"
inline constexpr uint8_t EepromDefaultDevice = 0xA0;

std::optional<EepromGeometry> EepromGeometryOf(uint8_t eepromType);

struct AddressPhase {
    std::array<uint8_t, 3> bytes{};
    uint8_t length = 0; // 0: the type has no address format

    std::span<const uint8_t> view() const { return {bytes.data(), length}; }
    // The device byte after the repeated start of a read: the same chip, read direction.
    uint8_t readDeviceByte() const { return static_cast<uint8_t>(bytes[0] | 1); }
};

AddressPhase AddressPhaseOf(uint32_t address, uint8_t eepromType, uint8_t deviceBase = EepromDefaultDevice);
