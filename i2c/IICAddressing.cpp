#include "i2c/IICAddressing.h"

#include "adapter/Uch_i2c.h"

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

bool IICSendAddress(Ch341Library& library, uint32_t address, uint8_t eepromType, uint8_t deviceBase)
{
    const AddressPhase phase = AddressPhaseOf(address, eepromType, deviceBase);
    if (phase.length == 0) return false;
    bool acknowledged = true;
    for (const uint8_t byte : phase.view())
        acknowledged = IICWriteByte(library, AdapterIndex, byte) && acknowledged;
    return acknowledged;
}
