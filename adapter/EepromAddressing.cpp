#include "adapter/EepromAddressing.h"

std::optional<EepromGeometry> EepromGeometryOf(uint8_t eepromType)
{
    // Smallest page size found among the parts of each size, so a page write never crosses a
    // real page boundary.
    static constexpr std::array<uint16_t, EepromTypeCount> pageSizes{8,  8,  16,  16,  16,  32, 32,
                                                                     64, 64, 128, 256, 256, 256};
    if (eepromType >= EepromTypeCount) return std::nullopt;
    const uint32_t capacity = 128u << eepromType;
    const uint8_t addressBytes = eepromType <= 4 ? 1 : 2;
    const uint32_t window = addressBytes == 1 ? 256u : 65536u;
    return EepromGeometry{capacity, pageSizes[eepromType], addressBytes, capacity < window ? capacity : window};
}

AddressPhase AddressPhaseOf(uint32_t address, uint8_t eepromType, uint8_t deviceBase)
{
    const auto low = static_cast<uint8_t>(address);
    const auto high = static_cast<uint8_t>(address >> 8);
    if (eepromType <= 1) return {{deviceBase, low}, 2};
    if (eepromType <= 4) return {{static_cast<uint8_t>(deviceBase | ((address >> 7) & 0x0E)), low}, 2};
    if (eepromType <= 9) return {{deviceBase, high, low}, 3};
    if (eepromType <= 12) return {{static_cast<uint8_t>(deviceBase | ((address >> 15) & 0x0E)), high, low}, 3};
    return {};
}
