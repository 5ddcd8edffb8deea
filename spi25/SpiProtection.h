#pragma once
// Whether a chip's status registers say that some of its blocks are protected, so that a program
// or erase would be ignored there: by the chip's protection scheme (chipdb/protection), from its
// name and kind. The chip size is not known here, so a complemented range (CMP) counts as
// protected unless its BP bits select everything by rule.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

bool BlockProtectionSet(std::string_view chipName, std::string_view chipKind, const std::array<uint8_t, 3>& registers,
                        int statusRegCount);

// "0x1C 0x00 0x00": the registers the chip has, by its count (at least register 1).
std::string StatusRegisterText(const std::array<uint8_t, 3>& registers, int statusRegCount);
