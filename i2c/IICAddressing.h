#pragma once
// The address phase of a 24xx random access: the device byte, then one or two memory address
// bytes. Memory address bits that do not fit into the address bytes go into device-address bits
// 1..3: bits 8..10 for the one-byte types 2..4 (24C04..24C16), bits 16..18 for the two-byte
// types 10..12 (24C1024..24C4096). Types 0, 1 and 5..9 send the device byte unchanged. Bit 0 of
// the device base is sent as it is.
//
// Type code 13 (no 24xx kind) has no address format: nothing is sent for it.

#include "adapter/Ch341Library.h"

#include <array>
#include <cstdint>
#include <span>

struct AddressPhase {
    std::array<uint8_t, 3> bytes{};
    uint8_t length = 0; // 0: the type has no address format

    std::span<const uint8_t> view() const { return {bytes.data(), length}; }
    // The device byte after the repeated start of a read: the same chip, read direction.
    uint8_t readDeviceByte() const { return static_cast<uint8_t>(bytes[0] | 1); }
};

AddressPhase AddressPhaseOf(uint32_t address, uint8_t eepromType, uint8_t deviceBase);

// Sends the address phase, one IICWriteByte per byte, on a bus where a start condition was just
// sent. Every byte goes out whatever the acknowledgement of the ones before it; the result is
// true only when every byte was acknowledged. False, with nothing sent, for a type without an
// address format.
bool IICSendAddress(Ch341Library& library, uint32_t address, uint8_t eepromType, uint8_t deviceBase);
