#include "buffer/CheckSum.h"

#include <cstdio>

#include "buffer/Crc.h"

TextPair CheckSumText(std::uint16_t crc16, std::uint32_t crc32)
{
    char values[64];
    std::snprintf(values, sizeof values, "CRC16 = 0x%04X, CRC32 = 0x%08X", unsigned{crc16},
                  static_cast<unsigned>(crc32));
    return {std::string("Check Sum: ") + values, std::string("Контрольная сумма: ") + values};
}

CheckSumResult CheckSum(std::span<const std::uint8_t> bytes, bool compareMode, bool blankCheckMode)
{
    // After a compare or blank check the panel stays empty and nothing is logged, so the CRCs
    // would be thrown away: skip the pass over up to 33 MiB.
    if (compareMode || blankCheckMode) return {};
    CheckSumResult result;
    result.crc16 = CRC16(bytes);
    result.crc32 = CRC32(bytes);
    result.text = CheckSumText(result.crc16, result.crc32);
    return result;
}
