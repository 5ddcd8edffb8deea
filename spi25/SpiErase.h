#pragma once
// Erasing a 25xx flash: the whole chip (C7) with its long, ticking wait, and 4 KiB sectors.

#include "adapter/SpiAddressMode.h"
#include "adapter/bus/SpiMaster.h"
#include "family/ChipDriver.h"

#include <cstdint>

namespace spi25 {

// 06; C7; status polls every 100 ms, each a tick of `progress`, until the chip is ready (then 04),
// a cancel (the chip erases on: nothing can stop it) or the chip's erase limit passes.
family::Result EraseChip(bus::SpiMaster& spi, uint32_t chipSize, family::Progress& progress);

// 06, [mode 4: B7], 20 + address (21 + 4 address bytes in mode 5), then status reads until ready.
// Not for the 25xx EEPROM layouts.
family::Result EraseSector(bus::SpiMaster& spi, uint32_t address, SpiAddressMode mode);
inline constexpr uint32_t SectorSize = 4096;

} // namespace spi25
