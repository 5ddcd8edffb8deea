#pragma once
// Status registers 1 to 3 of the SPI chip: the process-wide copy the dialog shows and writes,
// reading and writing them by the chip's register count, the lines of the Read command and the
// check before an erase.

#include "adapter/ch341a/Ch341Library.h"
#include "spi25/SpiText.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

// The values last read from the chip, as edited in the dialog or loaded from a register file.
// SR[0] is status register 1.
struct StatusShadow {
    std::array<uint8_t, 3> SR{};
};

// Register 2 is used above a count of 1, register 3 at exactly 3; writes know only 1, 2 and 3.
inline bool UsesStatusRegister(int index, int statusRegCount)
{
    return index == 0 || (index == 1 && statusRegCount > 1) || (index == 2 && statusRegCount == 3);
}

struct StatusReadResult {
    int registersRead = 0; // registers 1.. read before a failure (or all of them)
    std::array<uint8_t, 3> values{};
    bool failed = false;
};

// Reads the registers the count asks for, stopping at the first failure, which adds the red
// status read error to `log`.
StatusReadResult ReadStatusRegisters(Ch341Library& library, int statusRegCount, SpiLog& log);
// Takes the registers that were read into the shadow; the others keep their values.
void ApplyStatusRead(StatusShadow& shadow, const StatusReadResult& read);

// The Read command's line "\nStatus Register1 = 0x.." / "\nРегистр статуса 1 = 0x.." (and 2, 3);
// none for other counts.
std::optional<LogLine> StatusRegisterLines(const StatusShadow& shadow, int statusRegCount);

// Writes the shadow by the count: 1 with 06; 01 SR1 (the EWSR form for "ID_SPI3"); 2 as one
// 01 SR1 SR2 frame; 3 register by register. Failures add red lines and the next register is
// still written; count 2 is not checked. Nothing is read back.
void WriteStatusRegisters(Ch341Library& library, const StatusShadow& shadow, int statusRegCount,
                          std::string_view chipKind, SpiLog& log);

// The look at the registers before an erase. In AT25DF / AT26DF chips bit 4 of register 1 is
// not a protection bit and is left out.
struct EraseStatusCheck {
    bool readOk = false; // false: the red read error is in the log; end the command
    bool warn = false;   // a register holds data: ask EraseStatusWarning first
};
EraseStatusCheck CheckStatusBeforeErase(Ch341Library& library, std::string_view chipName, int statusRegCount,
                                        SpiLog& log);

// Upper-cased copy of an ASCII chip name, for the name tests.
std::string UpperChipName(std::string_view chipName);
