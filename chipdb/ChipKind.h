#pragma once
// The chip kind texts ("ID_24C16", "ID_SPI25", ...) and what each one means for the operations.
// All tests are case-sensitive: "contains" looks anywhere in the kind, "is" compares the whole.

#include "adapter/SpiAddressMode.h"

#include <array>
#include <string_view>

namespace chipdb {

// I2C kinds in the order of their EepromType code 0..12.
inline constexpr std::array<std::string_view, 13> kI2cKinds{
    "ID_24C01",  "ID_24C02",  "ID_24C04",  "ID_24C08",   "ID_24C16",   "ID_24C32",  "ID_24C64",
    "ID_24C128", "ID_24C256", "ID_24C512", "ID_24C1024", "ID_24C2048", "ID_24C4096"};

// SPI kinds; the first five use SpiAddressMode 1..5 in this order.
inline constexpr std::array<std::string_view, 6> kSpiKinds{"ID_SPI1",  "ID_SPI2",  "ID_SPI22",
                                                           "ID_SPI24", "ID_SPI25", "ID_SPI3"};

inline constexpr int kNoEepromType = 13;

enum class ChipClass { None, I2c, Spi };
enum class SpiProgramming { None, Page, AutoIncrementWord };

ChipClass chipClassOf(std::string_view kind); // SPI if it contains "ID_SPI", else I2C if "ID_24C"
inline bool isSpiChip(std::string_view kind)
{
    return chipClassOf(kind) == ChipClass::Spi;
}
inline bool isI2cChip(std::string_view kind)
{
    return chipClassOf(kind) == ChipClass::I2c;
}

int eepromTypeOf(std::string_view kind);                // 0..12, kNoEepromType otherwise
SpiAddressMode spiAddressModeOf(std::string_view kind); // SpiAddress3 for every kind after the fifth
SpiProgramming spiProgrammingOf(std::string_view kind); // page for SPI1/2/22/24/25, word for SPI3
// SPI kinds with a chip erase command: every one but the 25xx EEPROMs (SPI2, SPI22).
bool hasChipErase(std::string_view kind);
// Kinds containing "ID_SPI2" (SPI2, SPI22, SPI24, SPI25) work without a readable identification.
bool identificationRequired(std::string_view kind);

bool isCatalogueKind(std::string_view kind);

} // namespace chipdb
