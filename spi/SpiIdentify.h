#pragma once
// Identification of the SPI chip in the adapter: the identification value from the JEDEC
// (9F) or RES (AB) answer, the presence test of the chip commands, the lines of the ID button
// and the unique-ID item. All of it runs on the main window's thread.

#include "adapter/ch341a/Ch341Library.h"
#include "spi25/SpiText.h"

#include <cstdint>
#include <string_view>

// No chip answered: JEDEC bytes all FF, or RES bytes all FF.
inline constexpr uint32_t NoJedecAnswer = 0xFFFFFF;
inline constexpr uint32_t NoResAnswer = 0xFFFF;

// JEDEC value b1b2b3, or the RES value b1b2 when the JEDEC bytes are all FF. A failed read
// adds the red signature error to `log` and gives NoJedecAnswer.
uint32_t GetSpiId(Ch341Library& library, SpiLog& log);
// RES value b1b2; a failed read gives NoResAnswer.
uint32_t GetSpiIdAB(Ch341Library& library);

// The presence test every SPI command that reads, writes or erases runs first. Kinds containing
// "ID_SPI2" go on without an identification when status register 1 reads as something other
// than FF (an empty socket). On false `log` ends with the red "defective" line.
bool ChipPresent(Ch341Library& library, std::string_view chipKind, SpiLog& log);

// The ID button (SBIdClick): JEDEC, RES and REMS lines, navy, after any error line.
SpiLog SpiIdLines(Ch341Library& library);
// The Read UID item (UID1Click): "Unique ID = " and 16 hexadecimal digits, navy.
LogLine UniqueIdLine(Ch341Library& library);
