#pragma once
// Identification of the 25xx chip in the socket: the id from the JEDEC (9F) answer, else the RES
// (AB) answer; the presence test; the lines of the ID button and the unique-ID item.

#include "adapter/bus/SpiMaster.h"
#include "chipdb/Chip.h"
#include "spi25/SpiText.h"

#include <cstdint>
#include <string>

namespace spi25 {

// No chip answered: JEDEC bytes all FF, or RES bytes all FF.
inline constexpr uint32_t NoJedecAnswer = 0xFFFFFF;
inline constexpr uint32_t NoResAnswer = 0xFFFF;

// JEDEC value b1b2b3, or the RES value b1b2 when the JEDEC bytes are all FF. A failed read adds
// the red signature error to `log` and gives NoJedecAnswer.
uint32_t GetSpiId(bus::SpiMaster& spi, SpiLog& log);
// RES value b1b2; a failed read gives NoResAnswer.
uint32_t GetSpiIdAB(bus::SpiMaster& spi);

// Whether the id value means an empty socket: all ones (nothing drives MISO) or all zeros (MISO
// held low).
inline bool EmptySocketId(uint32_t id)
{
    return id == NoJedecAnswer || id == NoResAnswer || id == 0;
}

// The presence test every command that reads, writes or erases runs first. Chips that need no
// identification (25xx EEPROMs) go on when status register 1 reads as something other than FF (an
// empty socket). On false `log` ends with the red "defective" line.
bool ChipPresent(bus::SpiMaster& spi, const chipdb::Chip& chip, SpiLog& log);

// The ID button: JEDEC, RES and REMS lines, navy, after any error line.
SpiLog SpiIdLines(bus::SpiMaster& spi);
// The Read UID item: "Unique ID = " and 16 hexadecimal digits, navy.
LogLine UniqueIdLine(bus::SpiMaster& spi);

} // namespace spi25
