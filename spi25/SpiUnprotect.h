#pragma once
// Unprotect: clears the status registers with a fixed frame sequence, after the vendor sequences
// some parts need (the chip value says which). For the MX25L2026 the sequence ends with a
// whole-chip erase, which the caller starts once every frame here has gone out.

#include "adapter/bus/SpiMaster.h"
#include "chipdb/Chip.h"
#include "spi25/SpiText.h"

namespace spi25 {

// Failed frames add red lines and the sequence goes on; nothing is logged on success. True when
// the chip's unprotect needs the whole-chip erase that must follow now.
bool Unprotect(bus::SpiMaster& spi, const chipdb::Chip& chip, SpiLog& log);

} // namespace spi25
