#pragma once
// Wire facts of the CH347 (CH347T in its UART + SPI + I2C mode, CH347F): a high-speed USB adapter
// whose vendor interface takes command frames [command][length u16 LE][payload] on bulk 0x06 and
// answers with frames of the same shape on 0x86. One frame travels as one OUT transfer of at most
// 510 bytes (a single short packet): the adapter was seen to return wrong data after longer ones.

#include "adapter/UsbDeviceProfile.h"
#include "adapter/ch341a/Ch341Protocol.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace ch347 {

inline constexpr uint16_t VendorId = 0x1a86;
inline constexpr uint16_t ProductIdT = 0x55DB; // CH347T started in mode 1 (UART + SPI + I2C)
inline constexpr uint16_t ProductIdF = 0x55DE; // CH347F, every function at once
inline constexpr UsbModel Models[] = {{VendorId, ProductIdT, 2, "CH347T"}, {VendorId, ProductIdF, 4, "CH347F"}};
inline constexpr uint8_t EndpointOut = 0x06;
inline constexpr uint8_t EndpointIn = 0x86;
inline constexpr std::size_t PacketSize = 512;
inline constexpr std::size_t LargestOutTransfer = 510;
inline constexpr UsbDeviceProfile Profile{Models, EndpointOut, EndpointIn, PacketSize, LargestOutTransfer};

inline constexpr std::size_t HeaderSize = 3;
// The most payload of one frame, out or in: 510 - 3.
inline constexpr std::size_t MaxPayload = LargestOutTransfer - HeaderSize;

inline constexpr uint8_t CmdSpiConfigure = 0xC0; // 26-byte configuration; answers C0 01 00 status
inline constexpr uint8_t CmdChipSelect = 0xC1;   // 10 bytes, no answer
inline constexpr uint8_t CmdSpiDuplex = 0xC2;    // bytes out; answers C2 n + the bytes shifted in
inline constexpr uint8_t CmdSpiRead = 0xC3;      // u32 count; answers C3 n + data frames until the count is met
inline constexpr uint8_t CmdSpiWrite = 0xC4;     // bytes out; answers C4 01 00 00
inline constexpr uint8_t CmdReadConfig = 0xCA;   // 1 byte (01); answers the 26-byte configuration
inline constexpr uint8_t CmdGpio = 0xCC;         // 8 pin bytes; answers CC 08 00 + 8 pin states
inline constexpr uint8_t CmdI2cStream = 0xAA;    // the CH341A's I2C stream

// Chip-select control: two 5-byte entries, CS0 at byte 0 and CS1 at byte 5. In the first byte of
// an entry: bit 7 applies the entry, bit 6 is the level (1 = deasserted), bit 5 deasserts
// automatically after the microseconds in bytes 3..4 of the entry.
inline constexpr std::size_t ChipSelectPayload = 10;
inline constexpr std::size_t ChipSelect1Entry = 5;
inline constexpr uint8_t ChipSelectApply = 0x80;
inline constexpr uint8_t ChipSelectHigh = 0x40;
inline constexpr uint8_t ChipSelectAutoRelease = 0x20;

// The SPI configuration of C0 and CA: u16 little-endian fields in this order, then two bytes and
// four reserved ones.
inline constexpr std::size_t ConfigSize = 26;
inline constexpr uint16_t ConfigFullDuplex = 0;
inline constexpr uint16_t ConfigMaster = 0x0104;
inline constexpr uint16_t ConfigSoftwareChipSelect = 0x0200;
inline constexpr uint16_t ConfigMsbFirst = 0x0000;
inline constexpr uint16_t ConfigLsbFirst = 0x0080;
struct SpiConfig {
    uint16_t direction = ConfigFullDuplex;
    uint16_t mode = ConfigMaster;
    uint16_t dataSize = 0;      // 8 bits
    uint16_t clockPolarity = 0; // 0 or 2
    uint16_t clockPhase = 0;    // 0 or 1
    uint16_t chipSelect = ConfigSoftwareChipSelect;
    uint16_t prescaler = 0; // clock index x 8
    uint16_t firstBit = ConfigMsbFirst;
    uint16_t crcPolynomial = 7;
    uint16_t readWriteInterval = 0; // microseconds
    uint8_t mosiWhileReading = 0x00;
    uint8_t flags = 0; // bits 7, 6: chip-select polarities; 5: I2C clock stretching; 4: NACK the last I2C read
    std::array<uint8_t, 4> reserved{};

    bool operator==(const SpiConfig&) const = default;
};
std::array<uint8_t, ConfigSize> EncodeConfig(const SpiConfig& config);
std::optional<SpiConfig> DecodeConfig(std::span<const uint8_t> bytes);

// SPI clock: 60 MHz divided by 2^index, index 0..7 (60 MHz down to 468.75 kHz).
inline constexpr uint32_t BaseClock = 60'000'000;
inline constexpr int ClockCount = 8;
constexpr uint32_t ClockOfIndex(int index)
{
    return BaseClock >> index;
}
// The configuration of mode 0, most significant bit first, software chip select at clock `index`.
SpiConfig Mode0Config(int index);

// I2C: the CH341A's stream sub-commands in an AA frame; runs of bytes out or in are at most 0x3F
// long, every byte written answers one acknowledgement byte (1: acknowledged) and every byte
// read answers itself, in order.
inline constexpr uint8_t I2cEnd = ch341::I2cEnd;
inline constexpr uint8_t I2cStart = ch341::I2cStart;
inline constexpr uint8_t I2cStop = ch341::I2cStop;
inline constexpr uint8_t I2cOut = ch341::I2cOut; // 0x80|n, n = 1..63: n bytes follow
inline constexpr uint8_t I2cIn = ch341::I2cIn;   // 0xC0|n, n = 1..63: n bytes, each acknowledged; 0xC0: one, not
inline constexpr uint8_t I2cSet = ch341::I2cSet; // 0x60|speed: 0 = 20, 1 = 100, 2 = 400, 3 = 750 kHz
inline constexpr std::size_t I2cMaxRun = 0x3F;
inline constexpr uint8_t I2cAcknowledged = 0x01;

// Writes a frame header for `payload` bytes at `out`.
inline void PutHeader(uint8_t* out, uint8_t command, std::size_t payload)
{
    out[0] = command;
    out[1] = static_cast<uint8_t>(payload);
    out[2] = static_cast<uint8_t>(payload >> 8);
}
inline std::size_t PayloadLength(std::span<const uint8_t> frame)
{
    return frame.size() < HeaderSize ? 0 : std::size_t(frame[1]) | std::size_t(frame[2]) << 8;
}

} // namespace ch347
