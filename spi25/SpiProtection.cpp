#include "spi25/SpiProtection.h"

#include "spi25/SpiStatusRegisters.h"
#include "spi25/SpiText.h"

#include <cctype>

bool BlockProtectionSet(std::string_view chipName, std::string_view chipKind, const std::array<uint8_t, 3>& registers,
                        int statusRegCount)
{
    std::string name(chipName);
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const uint8_t sr1 = registers[0];
    if (name.find("AT25DF") != std::string::npos || name.find("AT26DF") != std::string::npos) return (sr1 & 0x0C) != 0;
    if (chipKind == "ID_SPI3") return (sr1 & 0x3C) != 0;
    if (name.rfind("W25Q", 0) == 0 && statusRegCount >= 2) {
        const unsigned bp = (sr1 >> 2) & 7;
        const bool complement = (registers[1] & 0x40) != 0;
        return complement ? bp != 7 : bp != 0;
    }
    return (sr1 & 0x3C) != 0;
}

std::string StatusRegisterText(const std::array<uint8_t, 3>& registers, int statusRegCount)
{
    return spi25::StatusRegisterText(registers, statusRegCount);
}
