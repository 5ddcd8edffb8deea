#include "spi/SpiProtection.h"

#include "chipdb/protection/ProtectedRange.h"
#include "chipdb/protection/ProtectionTraits.h"

#include "spi/SpiStatus.h"
#include "spi/SpiText.h"

bool BlockProtectionSet(std::string_view chipName, std::string_view chipKind, const std::array<uint8_t, 3>& registers,
                        int statusRegCount)
{
    // A register the chip was not asked for says nothing.
    chipdb::StatusBytes read{};
    for (int i = 0; i < 3; ++i)
        if (UsesStatusRegister(i, statusRegCount)) read[i] = registers[i];
    return chipdb::anythingProtected(chipdb::protectionSchemeOf(chipName, chipKind), read);
}

std::string StatusRegisterText(const std::array<uint8_t, 3>& registers, int statusRegCount)
{
    std::string text;
    for (int i = 0; i < 3; ++i)
        if (UsesStatusRegister(i, statusRegCount)) text += (text.empty() ? "0x" : " 0x") + HexText(registers[i], 2);
    return text;
}
