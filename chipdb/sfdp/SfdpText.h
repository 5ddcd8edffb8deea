#pragma once
// The texts a user sees about a chip's SFDP, in both interface languages: a one-line summary for
// the log, a few lines for the chip information view and the command line's detect, and what went
// wrong when the table could not be read.

#include "chipdb/sfdp/SfdpParser.h"
#include "text/TextPair.h"

#include <cstdint>
#include <span>
#include <vector>

namespace sfdp {

// "16 MiB", "512 KiB", "300 bytes".
TextPair SizeText(uint64_t bytes);

// "SFDP chip EF4018, 16 MiB, page 256, 4 KiB erase 20h"; the JEDEC id is the chip's answer to 9Fh
// (left out when empty), the page part only when the table states it.
TextPair SummaryText(std::span<const uint8_t> jedecId, const BasicFlashParameters& basic);

// The decoded table, a line per subject. `parsed` must be ok().
std::vector<TextPair> DetailLines(const Parsed& parsed);

// Why `parsed` is not ok(); empty texts when it is.
TextPair ErrorText(const Parsed& parsed);

} // namespace sfdp
