#pragma once
// The text form of an SFDP dump (chipdb/data/sfdp/PART.hex): the bytes from SFDP address 0 in
// hexadecimal, 16 bytes (32 digits) a line, upper or lower case; only the last line may be
// shorter. Empty lines are skipped and lines may end in CR LF. Nothing else is allowed, so a
// damaged file is refused rather than read as other bytes.

#include "chipdb/sfdp/SfdpTable.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sfdp {

enum class HexTextFault : uint8_t {
    None,
    Empty,         // no bytes at all
    NotHexDigit,   // a character other than a hex digit
    OddDigitCount, // half a byte
    LongLine,      // more than 16 bytes on a line
    ShortLine,     // a line of fewer than 16 bytes before the last one
    TooLong,       // more bytes than any SFDP read brings (MaxReach)
};

struct HexTextRead {
    std::vector<uint8_t> bytes; // empty unless ok()
    HexTextFault fault = HexTextFault::None;
    std::size_t line = 0; // 1-based line of the fault
    bool ok() const { return fault == HexTextFault::None; }
};

HexTextRead ReadHexText(std::string_view text);
std::string WriteHexText(std::span<const uint8_t> bytes);

} // namespace sfdp
