#pragma once
// The emulated chip's state file: the status register bits a real chip keeps without power
// (block protection, register locks, configuration), stored beside the image file as
// IMAGE.state so that protection survives a restart of the program as it survives a power cycle
// of the part. It is a small text file a user may read or edit:
//
//     # Vespera emulated chip: status registers kept without power
//     status=1C 00 00
//
// The three values are status registers 1, 2 and 3 in hexadecimal. A missing or unreadable
// file means no saved state: the chip starts in its factory state.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>

std::filesystem::path ChipStatePath(const std::filesystem::path& imageFile);

std::optional<std::array<uint8_t, 3>> LoadChipState(const std::filesystem::path& stateFile);
// Written through a temporary file and a rename; false when that fails.
bool SaveChipState(const std::filesystem::path& stateFile, const std::array<uint8_t, 3>& status);
