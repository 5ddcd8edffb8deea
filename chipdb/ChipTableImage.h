#pragma once
// The saved form of the chip table: field definitions, then every row in natural order.
//
//   "VCTB"  magic                 u16 version (1)          u16 field count
//   per field: u8 name length, name, u8 type (1 text, 2 number), u16 width
//   u32 row count
//   per row, per field: text   u16 byte length, bytes (at most `width` characters)
//                       number u8 0 (empty) or 1 followed by an IEEE 754 double
// All integers little-endian. Loading checks every length against what is left. Fields are
// matched by name: the eight original fields must be there; VMIN and VMAX may be missing (images
// written before them), and a field this version does not know is read past.

#include <cstdint>
#include <span>
#include <vector>

#include "chipdb/ChipTable.h"

namespace chipdb {

enum class ImageError { None, BadMagic, BadVersion, BadFields, Truncated, BadValue, TrailingBytes };

void appendTableImage(const ChipTable& table, std::vector<std::uint8_t>& out);
// Replaces the table's rows. On any error the table is left empty.
ImageError loadTableImage(std::span<const std::uint8_t> image, ChipTable& table);

} // namespace chipdb
