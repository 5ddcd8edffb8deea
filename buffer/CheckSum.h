#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "text/TextPair.h"

// The buffer's checksum line. `text` is what the status bar's checksum panel shows and what is
// logged in navy; it is empty after a compare or a blank check, when nothing is shown or logged.
struct CheckSumResult {
    std::uint16_t crc16 = 0;
    std::uint32_t crc32 = 0;
    TextPair text;
};

// "Check Sum: CRC16 = 0x5440, CRC32 = 0xFEA8A821" / "Контрольная сумма: CRC16 = 0x5440, ...".
TextPair CheckSumText(std::uint16_t crc16, std::uint32_t crc32);

// Checksums the first ChipSize bytes of the EditBuffer (pass exactly those bytes).
CheckSumResult CheckSum(std::span<const std::uint8_t> bytes, bool compareMode, bool blankCheckMode);
