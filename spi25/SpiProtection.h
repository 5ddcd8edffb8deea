#pragma once
// Whether a chip's status registers say that some of its blocks are protected, so that a program
// or erase would be ignored there. The bits differ by maker:
//   Atmel/Adesto AT25DF, AT26DF: SWP (register 1 bits 3..2) is 00 only when no sector is protected.
//   SST25 (kind ID_SPI3): BP3..BP0 (register 1 bits 5..2).
//   Winbond W25Q with a second register: BP2..BP0 (register 1 bits 4..2) with CMP (register 2
//   bit 6), which protects the complement: BP 000 then protects everything, BP 111 nothing.
//   Any other chip: BP bits 5..2 of register 1 (bit 5 is BP3 on some makers, TB on others; TB
//   alone protects nothing, but reading it as protection only costs a question).

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

bool BlockProtectionSet(std::string_view chipName, std::string_view chipKind, const std::array<uint8_t, 3>& registers,
                        int statusRegCount);

// "0x1C 0x00 0x00": the registers the chip has, by its count (at least register 1).
std::string StatusRegisterText(const std::array<uint8_t, 3>& registers, int statusRegCount);
