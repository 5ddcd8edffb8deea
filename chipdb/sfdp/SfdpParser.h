#pragma once
// Decodes the bytes a chip returns to 5Ah from SFDP address 0. The bytes come from a chip that may
// be absent, damaged or lying: every length and pointer is checked against the bytes given, and
// every failure is a value, never an exception. When the tables reach past the bytes given, the
// result says how many bytes from address 0 are needed, so the caller can read more and try again.

#include "chipdb/sfdp/SfdpTable.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace sfdp {

enum class Error : uint8_t {
    None,
    NoSignature,         // the first bytes are not "SFDP": no SFDP, or no chip
    Truncated,           // the header, the parameter headers or the basic table reach past the bytes
    OutOfReach,          // the basic table lies beyond MaxReach: not worth reading
    UnsupportedRevision, // a major revision other than 1: an incompatible layout
    NoBasicTable,        // no parameter header of the Basic Flash Parameter Table (version 1.x)
    ShortBasicTable,     // the basic table has fewer than the 2 DWORDs that give the density
    BadDensity,          // DW2 states no size a flash could have
};

struct Parsed {
    Error error = Error::NoSignature; // nothing decoded until Parse says so
    std::size_t available = 0;        // bytes given
    // With Truncated and OutOfReach: the bytes from address 0 that the missing part needs.
    std::size_t needed = 0;
    Header header;              // complete once the parameter headers were read
    BasicFlashParameters basic; // complete when ok()
    bool ok() const { return error == Error::None; }
};

Parsed Parse(std::span<const uint8_t> bytes);

} // namespace sfdp
