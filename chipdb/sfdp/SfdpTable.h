#pragma once
// What a chip's SFDP (JESD216, read with 5Ah) says about it: the header, the parameter headers and
// the decoded Basic Flash Parameter Table. Plain values; SfdpParser.h fills them from the bytes,
// SfdpBuilder.h writes bytes from them.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace sfdp {

// The parameter table id of the Basic Flash Parameter Table (ID MSB FFh, LSB 00h).
inline constexpr uint16_t BasicFlashTableId = 0xFF00;
// The most SFDP space, from address 0, that a host should read: every table of a real part sits
// well inside it (the largest known ends at 260h), and a table beyond it is taken for garbage
// rather than read at 135 KB/s. 4 KiB cost about 30 ms on the real adapter.
inline constexpr std::size_t MaxReach = 4096;
// The 24-bit addresses of the 5Ah command above 16 MiB: 3 address bytes reach 16 MiB.
inline constexpr uint64_t ThreeByteReach = uint64_t(1) << 24;

struct ParameterHeader {
    uint16_t id = 0; // MSB from byte 7, LSB from byte 0
    uint8_t major = 0;
    uint8_t minor = 0;
    uint8_t dwords = 0;   // table length
    uint32_t pointer = 0; // SFDP address of the table
    uint32_t end() const { return pointer + 4u * dwords; }
    bool operator==(const ParameterHeader&) const = default;
};

struct Header {
    uint8_t major = 0;
    uint8_t minor = 0;
    uint8_t accessProtocol = 0xFF;
    std::vector<ParameterHeader> tables; // in header order
    // One past the last byte of every table the headers point to (at least past the headers).
    uint32_t allTablesEnd() const;
};

enum class Addressing : uint8_t {
    ThreeBytes,       // DW1 bits 18:17 = 00
    ThreeOrFourBytes, // 01: 3 by default, 4 after entering 4-byte addressing
    FourBytes,        // 10: 4 only
    Reserved,         // 11: no meaning assigned
};

struct EraseType {
    uint32_t size = 0; // bytes, a power of two
    uint8_t opcode = 0;
    bool operator==(const EraseType&) const = default;
};

// DW1's fast read bits: which of the 1-x-x reads the part takes, and double transfer rate.
struct FastReads {
    bool read112 = false;
    bool read122 = false;
    bool read144 = false;
    bool read114 = false;
    bool doubleTransferRate = false;
    bool any() const { return read112 || read122 || read144 || read114 || doubleTransferRate; }
    bool operator==(const FastReads&) const = default;
};

struct BasicFlashParameters {
    uint8_t major = 0; // version from the table's parameter header
    uint8_t minor = 0;
    uint8_t dwords = 0;   // length of the table
    uint64_t density = 0; // bytes
    // The 4 KiB erase opcode (DW1 bits 15:8) when DW1 bits 1:0 say the part has one.
    std::optional<uint8_t> sectorEraseOpcode;
    // DW8-DW9: the erase types present, in table order; none in tables shorter than 9 DWORDs.
    std::vector<EraseType> eraseTypes;
    // DW11 bits 7:4 (JESD216A and later); tables shorter than 11 DWORDs do not state it.
    std::optional<uint32_t> pageSize;
    Addressing addressing = Addressing::ThreeBytes;
    // DW1 bit 2: the part programs 64 bytes or more at once (a page), not single bytes only.
    bool pageGranularity = false;
    // DW1 bits 4:3: the write enable for the status register's protection bits, 06h or 50h, when
    // those bits are volatile; none when they are non-volatile.
    std::optional<uint8_t> volatileStatusWriteEnable;
    FastReads fastReads;

    // A part larger than 16 MiB that says it takes 3 address bytes only contradicts itself (real
    // case: IS25WP256): the host cannot trust the addressing bits.
    bool addressingContradictsDensity() const
    {
        return addressing == Addressing::ThreeBytes && density > ThreeByteReach;
    }
    bool operator==(const BasicFlashParameters&) const = default;
};

} // namespace sfdp
