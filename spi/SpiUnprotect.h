#pragma once
// Unprotect (MmUnprotectClick): clears the status registers with a fixed frame sequence, after
// a vendor sequence for the MX25L2026, whose unprotect ends with a whole-chip erase.
//
// The adapter keeps each library call whole (Ch341Library's contract; Ch341Device holds its lock
// for a whole call), and every frame here is one call. To keep the register frames from mixing
// with the erase worker's write enable and erase command at all, the frames are all sent before
// the erase starts: Unprotect returns true when the window must now start the erase worker
// (no confirmation, no status check), exactly as the Erase command starts it.

#include "adapter/ch341a/Ch341Library.h"
#include "spi25/SpiText.h"

#include <string_view>

// Failed frames add red lines and the sequence goes on; nothing is logged on success.
// For chips named AT25DF… the global unprotect is sent: write enable, then 01 00; for chips
// named SST26… the global block unlock: write enable, then 98.
bool Unprotect(Ch341Library& library, std::string_view chipName, SpiLog& log);
