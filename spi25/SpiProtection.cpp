#include "spi25/SpiProtection.h"

#include "chipdb/protection/ProtectedRange.h"
#include "chipdb/protection/ProtectionTraits.h"
#include "spi25/SpiStatusRegisters.h"
#include "spi25/SpiText.h"

bool BlockProtectionSet(std::string_view chipName, std::string_view chipKind, const std::array<uint8_t, 3>& registers,
                        int statusRegCount)
{
    // A register the chip was not asked for says nothing.
    chipdb::StatusBytes read{};
    for (int i = 0; i < 3; ++i)
        if (spi25::UsesStatusRegister(i, statusRegCount)) read[i] = registers[i];
    return chipdb::anythingProtected(chipdb::protectionSchemeOf(chipName, chipKind), read);
}

std::string StatusRegisterText(const std::array<uint8_t, 3>& registers, int statusRegCount)
{
    return spi25::StatusRegisterText(registers, statusRegCount);
}
