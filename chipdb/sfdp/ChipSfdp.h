#pragma once
// The SFDP a chip of the database answers to 5Ah: the real part's dump where the data has one for
// the row (SfdpDumps.h), else a table built from the row's facts (SfdpBuilder.h), and nothing for
// parts older than SFDP.

#include "chipdb/sfdp/SfdpBuilder.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace sfdp {

struct DatabaseChip {
    std::string_view chipText;
    uint64_t size = 0;
    uint32_t pageSize = 0;
    std::span<const uint8_t> jedecId; // the answer to 9Fh; parts without a 3-byte one predate SFDP
    bool fourByteAddressing = false;  // the part addresses past 16 MiB with 4 bytes
    Timing timing;
};

// Families on the market before SFDP (JESD216, 2011), by the start of their names: their parts do
// not know 5Ah.
bool PredatesSfdp(std::string_view chipText);

// Empty when the chip answers no SFDP (or its facts cannot be stated in a table).
std::vector<uint8_t> TableOfChip(const DatabaseChip& chip);

} // namespace sfdp
