#pragma once
// The chip every operation works on, as a value: built once from its database row (and the
// traits beside the database), then handed to the chip family's driver and to the emulator's
// chip models. Nothing after the selection parses the kind text again.

#include "adapter/SpiAddressMode.h"
#include "chipdb/ChipRecord.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace chipdb {

enum class Family {
    None,        // a kind the program cannot drive: every operation refuses
    Spi25,       // 25xx SPI flash and SPI EEPROM
    I2c24,       // 24xx I2C EEPROM
    Microwire93, // 93Cxx Microwire EEPROM
};

// How the ORG pin of a 93Cxx part groups its cells: bytes (ORG low) or 16-bit words (ORG high).
enum class Organisation : uint8_t { X8, X16 };

// How a 25xx chip takes new data.
enum class SpiWriteMethod {
    None,    // a kind without a programming method
    Page,    // 06; page program (02/12) per page
    AaiWord, // SST auto-address-increment word programming (AD)
};

// What a 25xx flash does with the one-byte command B9.
enum class B9Meaning {
    DeepPowerDown,      // most makers: the chip stops answering until AB
    BankRegisterAccess, // S25FL-S: arms the bank register for the next write (17 80 sets EXTADD)
};

// The vendor sequences an unprotect needs besides clearing the status registers.
enum class UnprotectQuirk {
    None,
    GlobalUnprotectTwice, // AT25DF: the global unprotect write is sent twice
    BlockLockRegister,    // SST26: 98 clears the block-protection register
    EraseSequence,        // MX25L2026: a vendor sequence that ends with a whole-chip erase
};

struct VoltageRange {
    uint16_t minMillivolts = 0;
    uint16_t maxMillivolts = 0;
};

struct Chip {
    std::string name;  // CHIPTEXT, the key the selection is saved under
    std::string maker; // MANUF
    std::string kind;  // CHIPID as stored, for the log and the database
    Family family = Family::None;
    uint32_t size = 0;     // bytes every operation works on
    uint32_t pageSize = 0; // write page, bytes (0: the row gives none)
    std::string signature; // SIGNATURE: the JEDEC id as six hex digits or the RES id as four
    int statusRegisters = 1;

    // 25xx
    SpiAddressMode addressMode = SpiAddress3;
    SpiWriteMethod writeMethod = SpiWriteMethod::None;
    bool hasChipErase = false;          // C7; 25xx EEPROMs erase by writing FF
    bool needsErase = false;            // flash: programming only clears bits
    bool identificationRequired = true; // an all-ones id means an empty socket
    bool statusWriteNeedsEwsr = false;  // SST: 50 before a status write
    uint8_t eraseCheckIgnoredBits = 0;  // register 1 bits that are not protection (AT25DF bit 4)
    B9Meaning b9 = B9Meaning::DeepPowerDown;
    UnprotectQuirk unprotect = UnprotectQuirk::None;

    // 24xx
    uint8_t eepromType = 13;                   // the 24xx type code 0..12, 13 for none
    std::optional<uint8_t> fixedDeviceAddress; // a part that answers at one address only

    // 93Cxx
    Organisation organisation = Organisation::X16;
    uint8_t addressBits = 0;                 // width of the instructions' address field
    std::chrono::milliseconds writeCycle{0}; // the longest programming cycle the datasheets give
    std::chrono::milliseconds busyLimit{0};  // a chip busy for longer than this is stuck

    std::optional<VoltageRange> voltage;

    bool isSpi() const { return family == Family::Spi25; }
    bool isI2c() const { return family == Family::I2c24; }
    bool isMicrowire() const { return family == Family::Microwire93; }
    // Bytes of one 93Cxx word.
    uint32_t wordBytes() const { return organisation == Organisation::X16 ? 2 : 1; }
};

// The chip's kind as scripts and reports name it, stable across database versions: "spi-flash",
// "spi-eeprom", "i2c-eeprom", "microwire-eeprom" or "unknown".
const char* PublicKindName(const Chip& chip);

// The chip of a database row: sizes rounded to integers as the selection does, the kind's rules
// and the traits of the part's name applied.
Chip ChipFromRecord(const ChipRecord& row);

} // namespace chipdb
