#pragma once
// What a chip's name says about it beyond its database row: the vendor quirks of a few parts,
// kept in one table instead of name tests spread over the program.

#include "chipdb/Chip.h"

#include <string_view>

namespace chipdb {

// Applies the traits of the part `chip.name` names (upper-cased, matched as the table says).
void ApplyNameTraits(Chip& chip);

// S25FL-S parts (S25FL127S, S25FL128S, S25FL256S, ...): the family letter S after the density.
bool IsSpansionFlS(std::string_view upperName);

} // namespace chipdb
