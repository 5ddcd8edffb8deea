#pragma once
// Which protection scheme each chip of the database has: one table from chip names (exact, or a
// family pattern) to schemes, then the chip kind, then the old-style default that the program
// has always assumed for parts the datasheet notes do not describe.

#include <span>
#include <string_view>

#include "chipdb/protection/ProtectionScheme.h"

namespace chipdb {

// A name pattern: letters and digits stand for themselves (any letter case in the name), '#' for
// one or more digits, '*' for anything, the empty rest included.
struct ProtectionTrait {
    std::string_view pattern;
    const ProtectionScheme* scheme;
};

// The table, most specific first: the first entry whose pattern matches a name decides.
std::span<const ProtectionTrait> protectionTraits();

bool matchesChipPattern(std::string_view pattern, std::string_view chipName);

// The scheme of a chip from its database name (CHIPTEXT) and kind (CHIPID).
const ProtectionScheme& protectionSchemeOf(std::string_view chipName, std::string_view chipKind);

} // namespace chipdb
