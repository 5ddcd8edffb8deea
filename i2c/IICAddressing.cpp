#include "i2c/IICAddressing.h"

#include "adapter/Uch_i2c.h"

bool IICSendAddress(Ch341Library& library, uint32_t address, uint8_t eepromType, uint8_t deviceBase)
{
    const AddressPhase phase = AddressPhaseOf(address, eepromType, deviceBase);
    if (phase.length == 0) return false;
    bool acknowledged = true;
    for (const uint8_t byte : phase.view()) acknowledged = IICWriteByte(library, AdapterIndex, byte) && acknowledged;
    return acknowledged;
}
