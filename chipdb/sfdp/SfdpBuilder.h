#pragma once
// Writes the SFDP of a chip from its facts, for parts whose real table is not at hand: the header,
// one parameter header and a Basic Flash Parameter Table of 16 DWORDs (revision 1.6, JESD216B).
// Fields the facts do not give say "not supported" where the standard has such a value: no fast
// reads, no suspend, no deep power-down, no quad enable bit, no soft reset; busy from 05h bit 0.

#include "chipdb/sfdp/SfdpTable.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

namespace sfdp {

// Typical times the table states (DW10, DW11); the codes round up to the next value they can hold.
struct Timing {
    std::chrono::microseconds pageProgram{700};
    std::chrono::microseconds sectorErase{45000}; // erase types of 4 KiB and less
    std::chrono::microseconds blockErase{150000}; // larger erase types
    std::chrono::microseconds chipErase{0};       // 0: 2 s per MiB, at least 1 s
};

struct ChipFacts {
    uint64_t size = 0; // bytes
    uint32_t pageSize = 256;
    std::optional<uint8_t> sectorEraseOpcode = 0x20; // none: no 4 KiB erase
    std::vector<EraseType> eraseTypes;               // at most four, sizes powers of two
    Addressing addressing = Addressing::ThreeBytes;
    std::optional<uint8_t> volatileStatusWriteEnable; // 06h or 50h; none: non-volatile protection bits
    Timing timing;
};

// The erase types of most 25xx flash parts: 4 KiB 20h, 32 KiB 52h, 64 KiB D8h.
std::vector<EraseType> CommonEraseTypes();

// Nullopt for facts the table cannot state: a size under 256 bytes or one it cannot code, a page
// size that is no power of two up to 32 KiB, more than four erase types or one of an odd size, a
// reserved addressing code, a volatile write enable other than 06h or 50h.
std::optional<std::vector<uint8_t>> Build(const ChipFacts& facts);

} // namespace sfdp
