#include "chipdb/ChipKind.h"

#include <algorithm>

namespace chipdb {
namespace {

int indexIn(const auto& list, std::string_view kind)
{
    const auto it = std::find(list.begin(), list.end(), kind);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

} // namespace

ChipClass chipClassOf(std::string_view kind)
{
    if (kind.find("ID_SPI") != std::string_view::npos) return ChipClass::Spi;
    if (kind.find("ID_24C") != std::string_view::npos) return ChipClass::I2c;
    if (microwireKindOf(kind)) return ChipClass::Microwire;
    return ChipClass::None;
}

const MicrowireKind* microwireKindOf(std::string_view kind)
{
    const auto it = std::find_if(kMicrowireKinds.begin(), kMicrowireKinds.end(),
                                 [kind](const MicrowireKind& entry) { return entry.kind == kind; });
    return it == kMicrowireKinds.end() ? nullptr : &*it;
}

int eepromTypeOf(std::string_view kind)
{
    const int i = indexIn(kI2cKinds, kind);
    return i < 0 ? kNoEepromType : i;
}

SpiAddressMode spiAddressModeOf(std::string_view kind)
{
    const int i = indexIn(kSpiKinds, kind);
    return i >= 0 && i < 5 ? static_cast<SpiAddressMode>(i + 1) : SpiAddress3;
}

SpiProgramming spiProgrammingOf(std::string_view kind)
{
    const int i = indexIn(kSpiKinds, kind);
    if (i < 0) return SpiProgramming::None;
    return kind == "ID_SPI3" ? SpiProgramming::AutoIncrementWord : SpiProgramming::Page;
}

bool hasChipErase(std::string_view kind)
{
    return kind != "ID_SPI2" && kind != "ID_SPI22";
}

bool identificationRequired(std::string_view kind)
{
    return kind.find("ID_SPI2") == std::string_view::npos;
}

bool isCatalogueKind(std::string_view kind)
{
    return indexIn(kI2cKinds, kind) >= 0 || indexIn(kSpiKinds, kind) >= 0 || microwireKindOf(kind) != nullptr;
}

} // namespace chipdb
