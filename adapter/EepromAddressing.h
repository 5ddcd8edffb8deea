#pragma once
// Geometry and device bytes of the 24xx type codes as the adapter library's block read and
// write use them (device address 0xA0; the memory address bits that do not fit into the
// address bytes go into device-address bits 3..1).
//
// Types 11 and 12 (24C2048, 24C4096) are addressed like the larger parts of the family: two
// address bytes, address bits 16..18 in device-address bits 1..3, as for type 10.

#include <cstdint>
#include <optional>

struct EepromGeometry {
    uint32_t capacity;      // bytes
    uint32_t pageSize;      // a page size every part of the type honours (smallest in use)
    uint8_t addressBytes;   // 1 or 2
    uint32_t regionSize;    // bytes reachable without changing the device byte
};

inline constexpr uint8_t EepromTypeCount = 13;  // codes 0..12; 13 means "none"
inline constexpr uint8_t EepromDefaultDevice = 0xA0;

std::optional<EepromGeometry> EepromGeometryOf(uint8_t eepromType);

// Device byte (write direction) for a memory address.
uint8_t EepromDeviceByte(const EepromGeometry& geometry, uint32_t address,
                         uint8_t base = EepromDefaultDevice);
