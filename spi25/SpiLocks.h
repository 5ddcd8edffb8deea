#pragma once
// Status register writes that cannot be taken back: what a write from `before` to `after` would
// lock, for how long, in words the user can weigh before saying yes.

#include "chipdb/Chip.h"
#include "text/TextPair.h"

#include <array>
#include <cstdint>
#include <vector>

namespace spi25 {

// Nothing for a write that only changes what the program can change back.
std::vector<TextPair> LockConsequences(const chipdb::Chip& chip, const std::array<uint8_t, 3>& before,
                                       const std::array<uint8_t, 3>& after);

} // namespace spi25
