#include "chipdb/Chip.h"

#include "chipdb/ChipKind.h"
#include "chipdb/ChipTraits.h"
#include "chipdb/SetParams.h"

#include <algorithm>

namespace chipdb {

const char* PublicKindName(const Chip& chip)
{
    switch (chip.family) {
    case Family::Spi25: return chip.needsErase ? "spi-flash" : "spi-eeprom";
    case Family::I2c24: return "i2c-eeprom";
    case Family::Microwire93: return "microwire-eeprom";
    case Family::None: break;
    }
    return "unknown";
}

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
    case ChipClass::Microwire: {
        const MicrowireKind& part = *microwireKindOf(chip.kind);
        chip.family = Family::Microwire93;
        chip.organisation = part.wordBits == 16 ? Organisation::X16 : Organisation::X8;
        chip.addressBits = part.addressBits;
        // The word is what one write takes; a larger size than the part's would wrap onto itself.
        chip.pageSize = chip.wordBytes();
        chip.size = std::min(chip.size, part.size) / chip.pageSize * chip.pageSize;
        // Datasheets give at most 10 ms for a word (5 ms on most parts) and 15 ms for ERAL or
        // WRAL: a chip still busy after ten times the longest has stopped answering.
        chip.writeCycle = std::chrono::milliseconds(10);
        chip.busyLimit = std::chrono::milliseconds(150);
        break;
    }
    case ChipClass::None: break;
    }
    ApplyNameTraits(chip);
    return chip;
}

} // namespace chipdb
