#pragma once
// Wire facts of the CH341A in its I2C/SPI/GPIO personality (USB 1a86:5512).
// Every bulk OUT packet ("segment") is at most 32 bytes and starts with a stream command.

#include "adapter/UsbDeviceProfile.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>

namespace ch341 {

inline constexpr uint16_t VendorId = 0x1a86;
inline constexpr uint16_t ProductId = 0x5512;
inline constexpr uint8_t EndpointOut = 0x02;
inline constexpr uint8_t EndpointIn = 0x82;
inline constexpr std::size_t PacketSize = 32;
inline constexpr UsbModel Models[] = {{VendorId, ProductId, 0, "CH341A"}};
// The vendor library cuts long writes itself (TransferSchedule): any OUT transfer is taken.
inline constexpr UsbDeviceProfile Profile{Models, EndpointOut, EndpointIn, PacketSize, 0};

// Stream commands (byte 0 of a segment).
inline constexpr uint8_t CmdSpiStream = 0xA8;
inline constexpr uint8_t CmdI2cStream = 0xAA;
inline constexpr uint8_t CmdUioStream = 0xAB;

// I2C stream sub-commands.
inline constexpr uint8_t I2cEnd = 0x00;
inline constexpr uint8_t I2cStart = 0x74;
inline constexpr uint8_t I2cStop = 0x75;
inline constexpr uint8_t I2cOut = 0x80; // 0x80: one byte with ACK status; 0x80|n: n bytes, no status
inline constexpr uint8_t I2cIn = 0xC0;  // 0xC0|n: n bytes ACKed; 0xC0: one byte NACKed
inline constexpr uint8_t I2cSet = 0x60; // 0x60|m: bits 1..0 I2C speed, bit 2 dual SPI
inline constexpr uint8_t I2cDelayUs = 0x40;
inline constexpr uint8_t I2cDelayMs = 0x50;
inline constexpr std::size_t I2cMaxReadPerSegment = 32;
inline constexpr std::size_t I2cMaxOutRun = 29; // bytes after one 0x80|n sub-command
inline constexpr uint8_t I2cNackBit = 0x80;     // in the status byte of a single 0x80 out

// UIO stream sub-commands (pins D5..D0).
inline constexpr uint8_t UioEnd = 0x20;
inline constexpr uint8_t UioOut = 0x80;   // 0x80|v: output values
inline constexpr uint8_t UioDir = 0x40;   // 0x40|m: direction, 1 = output
inline constexpr uint8_t PinsIdle = 0x37; // CS0..CS2 high, SCK low, D4 and MOSI high
inline constexpr uint8_t PinsCs0Low = 0x36;
inline constexpr uint8_t PinsAllOut = 0x3F;

inline constexpr std::size_t SpiMaxPerSegment = PacketSize - 1;
// One pin (UIO) sub-command takes about 0.75 us on the adapter (published timing): repeating one is how
// a pin segment waits.
inline constexpr std::chrono::nanoseconds PinCommandTime{750};

// Stream mode byte of CH341SetStream: bits 1..0 I2C speed, bit 2 dual SPI, bit 7 MSB first.
inline constexpr uint8_t ModeWireBits = 0x07;
inline constexpr uint8_t ModeMsbFirst = 0x80;

// The SPI engine shifts LSB first; 25xx chips expect MSB first, so bytes are mirrored on the host.
constexpr std::array<uint8_t, 256> makeReverseTable()
{
    std::array<uint8_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned r = 0;
        for (unsigned bit = 0; bit < 8; ++bit)
            if (i & (1u << bit)) r |= 0x80u >> bit;
        table[i] = static_cast<uint8_t>(r);
    }
    return table;
}
inline constexpr std::array<uint8_t, 256> ReverseBits = makeReverseTable();

} // namespace ch341
