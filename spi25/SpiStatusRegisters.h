#pragma once
// Status registers 1 to 3 of a 25xx chip: reading and writing them by the chip's register count.
// Register 2 is used above a count of 1, register 3 at exactly 3; writes know only 1, 2 and 3.

#include "adapter/bus/SpiMaster.h"
#include "text/TextPair.h"

#include <array>
#include <cstdint>
#include <string>

namespace spi25 {

using StatusValues = std::array<uint8_t, 3>;

inline bool UsesStatusRegister(int index, int statusRegisters)
{
    return index == 0 || (index == 1 && statusRegisters > 1) || (index == 2 && statusRegisters == 3);
}

struct StatusRead {
    int registersRead = 0; // registers 1.. read before a failure (or all of them)
    StatusValues values{};
    bool failed = false;
};
// Reads the registers the count asks for (05, 35, 15), stopping at the first failure.
StatusRead ReadStatusRegisters(bus::SpiMaster& spi, int statusRegisters);

struct StatusWrite {
    bool attempted = false;       // the count is one the chip's registers can be written by
    std::array<bool, 3> failed{}; // by register
};
// Writes by the count: 1 with 06; 01 SR1; wait; 04 (06; 50; 01 SR1 ... when `ewsr`, SST); 2 as one
// 06; 01 SR1 SR2; 04; 3 register by register (01, 31, 11), each tried whatever the one before did.
// Count 2 is not checked: its failure is not reported. Nothing is read back.
StatusWrite WriteStatusRegisters(bus::SpiMaster& spi, const StatusValues& values, int statusRegisters, bool ewsr);

// "0x1C 0x00 0x00": the registers the chip has, by its count (at least register 1).
std::string StatusRegisterText(const StatusValues& values, int statusRegisters);

// The Read command's lines "\nStatus Register1 = 0x.." / "\nРегистр статуса 1 = 0x.." (and 2, 3);
// empty for counts other than 1 to 3.
TextPair StatusRegisterLines(const StatusValues& values, int statusRegisters);

} // namespace spi25
