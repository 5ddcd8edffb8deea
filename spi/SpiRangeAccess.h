#pragma once
// SPI flash access shared by the workers that read and write parts of a chip: the addressing set
// up before reads, reads of any range, and the erase commands.
#include "adapter/ch341a/Ch341Library.h"
#include "adapter/Uch_spi.h"

#include <chrono>
#include <cstdint>
#include <span>

// 4-byte addressing before reads: B7 for mode 4; for mode 5 B9, then 17 80, which set the bank
// register's EXTADD bit on S25FL-S parts. Every other maker of such chips defines B9 as deep
// power-down, so AB then wakes the chip (on S25FL-S it is a harmless signature read) and the read
// waits the release time (at most tens of microseconds) before the first frame.
bool SPIPrepareRead(Ch341Library& library, SpiAddressMode mode);
// Reads `destination` from `address` in blocks of at most `block` bytes (1..4096), each queued
// while the one before is on its way. Needs mode 0x83 set and SPIPrepareRead.
bool SPIReadRange(Ch341Library& library, SpiAddressMode mode, uint32_t address, std::span<uint8_t> destination,
                  uint32_t block);
// Erases the 4 KiB sector at `address` and waits for the chip: 06, [mode 4: B7], 20 + address (21 +
// 4 address bytes in mode 5), then status reads until ready. Not for the 25xx EEPROM modes.
bool SPIEraseSector(Ch341Library& library, uint32_t address, SpiAddressMode mode);
// 06, C7, then status reads until ready or `limit` passes.
bool SPIEraseChipAndWait(Ch341Library& library, std::chrono::milliseconds limit);
