#pragma once
// Sends the 24xx address phase (adapter/EepromAddressing.h) byte by byte.

#include "adapter/ch341a/Ch341Library.h"
#include "adapter/EepromAddressing.h"

#include <cstdint>

// Sends the address phase, one IICWriteByte per byte, on a bus where a start condition was just
// sent. Every byte goes out whatever the acknowledgement of the ones before it; the result is
// true only when every byte was acknowledged. False, with nothing sent, for a type without an
// address format.
bool IICSendAddress(Ch341Library& library, uint32_t address, uint8_t eepromType, uint8_t deviceBase);
