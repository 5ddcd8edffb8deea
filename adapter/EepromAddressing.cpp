#include "adapter/EepromAddressing.h"

#include <array>

std::optional<EepromGeometry> EepromGeometryOf(uint8_t eepromType)
{
    // Smallest page size found among the parts of each size, so a page write never crosses a
    // real page boundary.
    static constexpr std::array<uint16_t, EepromTypeCount> pageSizes{
        8, 8, 16, 16, 16, 32, 32, 64, 64, 128, 256, 256, 256};
    if (eepromType >= EepromTypeCount) return std::nullopt;
    const uint32_t capacity = 128u << eepromType;
    const uint8_t addressBytes = eepromType <= 4 ? 1 : 2;
    const uint32_t window = addressBytes == 1 ? 256u : 65536u;
    return EepromGeometry{capacity, pageSizes[eepromType], addressBytes,
                          capacity < window ? capacity : window};
}

uint8_t EepromDeviceByte(const EepromGeometry& geometry, uint32_t address, uint8_t base)
{
    const uint32_t high = address >> (8 * geometry.addressBytes);
    return static_cast<uint8_t>(base | ((high << 1) & 0x0E));
}
