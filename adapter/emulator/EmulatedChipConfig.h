#pragma once
// Describes the chip in the emulated adapter's socket. The kind text is the chip database's
// kind ("ID_24C02", "ID_SPI25", ...) and decides the chip model; the maker and the name decide
// what the chip does with commands whose meaning differs between makers (B9) and how its
// status registers protect the array.

#include "chipdb/protection/ProtectionSchemes.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class EmulatedChipFamily { I2cEeprom, SpiFlash, SpiEeprom, Microwire93 };

// What the flash does with the one-byte command B9.
enum class B9Command {
    DeepPowerDown,      // stops answering until AB (Winbond, Macronix, GigaDevice, Micron, ...)
    BankRegisterAccess, // arms the bank register for the next 01 (Spansion/Cypress S25FL-S)
    Ignored,            // no such command (SST25)
};

// How the part guards its array against program and erase; it follows from the protection
// scheme's rule (see `scheme` below), which decides the details.
enum class FlashProtection {
    StatusBits,    // BP, TB, SEC, CMP bits in the status registers
    At25dfSectors, // AT25DF/AT26DF: a protection register per sector (36/39, global 01), SPRL
    Sst26Blocks,   // SST26: every block write-locked at power-up until 98 (global unlock)
};

struct EmulatedChipConfig {
    using Time = std::chrono::microseconds;

    std::string kind = "ID_SPI1";
    bool emptySocket = false; // no chip at all: both buses float
    uint32_t size = 8u << 20;
    uint32_t pageSize = 256;

    // SPI identification. An empty JEDEC id: the chip does not know 9F (reads FF).
    std::vector<uint8_t> jedecId{0xEF, 0x40, 0x17};
    std::array<uint8_t, 2> resId{0x16, 0x16};  // AB: repeated pair
    std::array<uint8_t, 2> remsId{0xEF, 0x16}; // 90 at address 0: manufacturer, device
    std::array<uint8_t, 8> uniqueId{0xD1, 0x62, 0x38, 0x4C, 0x13, 0x2A, 0x5E, 0x07};
    // The answer to 5Ah from SFDP address 0; empty: the chip knows no SFDP (reads FF).
    std::vector<uint8_t> sfdp;
    // Status registers at power-up when no saved state or preset applies (factory state; for
    // chips whose protection bits are volatile, their power-up state).
    std::array<uint8_t, 3> initialStatus{0, 0, 0};
    // The user's preset (--emulate-status): replaces the saved state and the power-up state.
    std::optional<std::array<uint8_t, 3>> statusPreset;
    bool autoAddressIncrement = false; // SST AAI word programming (AD)
    B9Command b9 = B9Command::DeepPowerDown;
    FlashProtection protection = FlashProtection::StatusBits;
    // Where the part keeps its protection fields and how they select the protected range: the
    // chip database's scheme for the part (chipdb/protection/ProtectionTraits.h).
    chipdb::ProtectionScheme scheme = chipdb::schemes::kBpAnyWholeChip;
    // The protection bits are lost at power-off and come back as initialStatus (SST25, AT25DF):
    // no saved state applies.
    bool volatileProtection = false;
    // Level of the chip's /WP pin; the adapter's socket pulls it high.
    bool writeProtectPinLow = false;
    // The fastest SPI clock (Hz) at which the bits the chip sends arrive intact; 0: any clock.
    // Above it an adapter that can clock that fast (the CH347) receives some bits damaged.
    uint32_t spiClockLimit = 0;

    // Durations in emulated time.
    Time chipEraseTime = std::chrono::seconds(20);
    Time blockEraseTime = std::chrono::milliseconds(150);
    Time sectorEraseTime = std::chrono::milliseconds(45);
    Time pageProgramTime = std::chrono::microseconds(700);
    Time statusWriteTime = std::chrono::milliseconds(10);
    Time aaiWordTime = std::chrono::microseconds(10);
    Time eepromWriteCycle = std::chrono::milliseconds(5); // 24xx, 25xx and 93Cxx EEPROM
    // After AB wakes the chip from deep power-down it ignores commands for this long (tRES1;
    // 3 us on Winbond, up to 30 us on other makers' parts).
    Time powerDownReleaseTime = std::chrono::microseconds(30);

    // 24xx: device byte the chip answers to (bit 0 clear); pin bits beyond the memory-address
    // bits of the device byte are compared.
    uint8_t i2cDeviceAddress = 0xA0;

    // 93Cxx: the width of the instructions' address field and the organisation (8 or 16 bits, as
    // the ORG pin sets it).
    uint8_t microwireAddressBits = 6;
    uint8_t microwireWordBits = 16;
    // ERAL and WRAL are taken (Microchip's parts take them only at 4.5 V and above).
    bool microwireBulkInstructions = true;
    // The program-enable pin some parts have is held low: no instruction changes the cells.
    bool microwireWriteProtected = false;

    // Chip contents are loaded from and written back to this file when set; the non-volatile
    // status bits live beside it (see ChipStateFile.h).
    std::filesystem::path imageFile;
};

// The fields of a chip database row that the emulation needs: CHIPTEXT, CHIPID (kind),
// CHIPSIZE, PAGESIZE, SIGNATURE (six hex digits = JEDEC id, four = RES id), ERTIME (chip erase
// seconds; 0 = unknown) and MANUF.
struct EmulatedChipFacts {
    std::string_view chipText;
    std::string_view kind;
    uint32_t size = 0;
    uint32_t pageSize = 0;
    std::string_view signature;
    double eraseSeconds = 0;
    std::string_view manufacturer;
};

std::optional<EmulatedChipFamily> EmulatedFamilyOf(std::string_view kind);
// 24xx type code 0..12 of a kind text, nullopt for other kinds.
std::optional<uint8_t> I2cTypeOfKind(std::string_view kind);

// The 93Cxx part a kind text names ("ID_93C46_16": 6 address bits, 16-bit words), from the
// datasheets; nullopt for other kinds.
struct MicrowireShape {
    uint8_t addressBits;
    uint8_t wordBits;
};
std::optional<MicrowireShape> MicrowireShapeOfKind(std::string_view kind);

// Builds the configuration of a chip database row. Nullopt for an unknown kind or impossible
// sizes. A flash takes the SFDP of its row (sfdp::TableOfChip): a real part's dump or one built
// from the row.
std::optional<EmulatedChipConfig> MakeEmulatedChipConfig(const EmulatedChipFacts& facts);

// The text of --emulate-status: one to three status register values in hexadecimal, separated
// by commas ("1C", "00,02", "0x1C,0,60"); registers not given are 0. Nullopt for anything else.
std::optional<std::array<uint8_t, 3>> ParseStatusPreset(std::string_view text);

// The chip used when the user asks for emulation without naming one: a W25Q64 flash.
EmulatedChipConfig DefaultEmulatedChip();
