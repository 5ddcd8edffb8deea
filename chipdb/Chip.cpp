#include "chipdb/Chip.h"

#include "chipdb/ChipKind.h"
#include "chipdb/ChipTraits.h"
#include "chipdb/SetParams.h"

#include <algorithm>

namespace chipdb {

Chip ChipFromRecord(const ChipRecord& row)
{
    const ChipSelection selection = SetParams(row, true, false);
    Chip chip;
    chip.name = row.CHIPTEXT;
    chip.maker = row.MANUF;
    chip.kind = row.CHIPID;
    chip.size = selection.chip.ChipSize;
    chip.pageSize = uint32_t(std::max(selection.chip.PageSize, 0));
    chip.signature = row.SIGNATURE;
    chip.statusRegisters = selection.chip.StatusRegCount;

    switch (chipClassOf(chip.kind)) {
    case ChipClass::Spi: {
        chip.family = Family::Spi25;
        chip.addressMode = spiAddressModeOf(chip.kind);
        const SpiProgramming programming = spiProgrammingOf(chip.kind);
        chip.writeMethod = programming == SpiProgramming::Page                ? SpiWriteMethod::Page
                           : programming == SpiProgramming::AutoIncrementWord ? SpiWriteMethod::AaiWord
                                                                              : SpiWriteMethod::None;
        chip.hasChipErase = hasChipErase(chip.kind);
        chip.needsErase = chip.hasChipErase; // the 25xx EEPROMs write bytes as they are
        chip.identificationRequired = identificationRequired(chip.kind);
        chip.statusWriteNeedsEwsr = chip.kind == "ID_SPI3";
        break;
    }
    case ChipClass::I2c:
        chip.family = Family::I2c24;
        chip.eepromType = uint8_t(eepromTypeOf(chip.kind));
        break;
    case ChipClass::None: break;
    }
    ApplyNameTraits(chip);
    return chip;
}

} // namespace chipdb
