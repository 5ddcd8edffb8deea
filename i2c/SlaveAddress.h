#pragma once
// The device address byte of the 24xx chip, bit 0 included. The menu sets it on the window's
// thread; the workers read it anew for every block, so it is atomic.

#include <atomic>
#include <cstdint>
#include <optional>
#include <string_view>

inline constexpr uint8_t DefaultSlaveAddress = 0xA0;

extern std::atomic<uint8_t> SlaveAddress;

// The PCA24S08 answers only at 0xA8 whatever the menu says. A worker uses this base for its own
// run and leaves SlaveAddress alone, so the next chip gets the menu's address again.
inline constexpr std::string_view Pca24s08ChipText = "PCA24S08";
inline constexpr uint8_t Pca24s08Address = 0xA8;

// The fixed device address of a chip text (exact match), nullopt for every other chip.
std::optional<uint8_t> DeviceAddressOverride(std::string_view chipText);
