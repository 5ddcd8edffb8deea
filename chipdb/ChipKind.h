#pragma once
// The chip kind texts ("ID_24C16", "ID_SPI25", ...) and what each one means for the operations.
// All tests are case-sensitive: "contains" looks anywhere in the kind, "is" compares the whole.

#include "adapter/SpiAddressMode.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace chipdb {

// I2C kinds in the order of their EepromType code 0..12.
inline constexpr std::array<std::string_view, 13> kI2cKinds{
    "ID_24C01",  "ID_24C02",  "ID_24C04",  "ID_24C08",   "ID_24C16",   "ID_24C32",  "ID_24C64",
    "ID_24C128", "ID_24C256", "ID_24C512", "ID_24C1024", "ID_24C2048", "ID_24C4096"};

// SPI kinds; the first five use SpiAddressMode 1..5 in this order.
inline constexpr std::array<std::string_view, 6> kSpiKinds{"ID_SPI1",  "ID_SPI2",  "ID_SPI22",
                                                           "ID_SPI24", "ID_SPI25", "ID_SPI3"};

// 93Cxx Microwire kinds, one per part and organisation: the record has no field for the ORG pin,
// so the kind names it ("_8": ORG low, bytes; "_16": ORG high, 16-bit words). The address field
// is as wide as the datasheets send it; on the 93C06, 93C56 and 93C76 its top bits are
// don't-care, so those parts share the width of the next larger one.
struct MicrowireKind {
    std::string_view kind;
    std::uint32_t size;    // bytes
    std::uint8_t wordBits; // 8 or 16
    std::uint8_t addressBits;
};
inline constexpr std::array<MicrowireKind, 12> kMicrowireKinds{{
    {"ID_93C06_8", 32, 8, 7},
    {"ID_93C06_16", 32, 16, 6},
    {"ID_93C46_8", 128, 8, 7},
    {"ID_93C46_16", 128, 16, 6},
    {"ID_93C56_8", 256, 8, 9},
    {"ID_93C56_16", 256, 16, 8},
    {"ID_93C66_8", 512, 8, 9},
    {"ID_93C66_16", 512, 16, 8},
    {"ID_93C76_8", 1024, 8, 11},
    {"ID_93C76_16", 1024, 16, 10},
    {"ID_93C86_8", 2048, 8, 11},
    {"ID_93C86_16", 2048, 16, 10},
}};

inline constexpr int kNoEepromType = 13;

enum class ChipClass { None, I2c, Spi, Microwire };
enum class SpiProgramming { None, Page, AutoIncrementWord };

// SPI if it contains "ID_SPI", else I2C if "ID_24C", else Microwire if it is one of kMicrowireKinds.
ChipClass chipClassOf(std::string_view kind);
inline bool isSpiChip(std::string_view kind)
{
    return chipClassOf(kind) == ChipClass::Spi;
}
inline bool isI2cChip(std::string_view kind)
{
    return chipClassOf(kind) == ChipClass::I2c;
}
inline bool isMicrowireChip(std::string_view kind)
{
    return chipClassOf(kind) == ChipClass::Microwire;
}
// The entry of kMicrowireKinds, null for other kinds.
const MicrowireKind* microwireKindOf(std::string_view kind);

int eepromTypeOf(std::string_view kind);                // 0..12, kNoEepromType otherwise
SpiAddressMode spiAddressModeOf(std::string_view kind); // SpiAddress3 for every kind after the fifth
SpiProgramming spiProgrammingOf(std::string_view kind); // page for SPI1/2/22/24/25, word for SPI3
// SPI kinds with a chip erase command: every one but the 25xx EEPROMs (SPI2, SPI22).
bool hasChipErase(std::string_view kind);
// Kinds containing "ID_SPI2" (SPI2, SPI22, SPI24, SPI25) work without a readable identification.
bool identificationRequired(std::string_view kind);

bool isCatalogueKind(std::string_view kind);

} // namespace chipdb
