#pragma once
// Describes the chip in the emulated adapter's socket. The kind text is the chip database's
// kind ("ID_24C02", "ID_SPI25", ...) and decides the chip model.

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class EmulatedChipFamily { I2cEeprom, SpiFlash, SpiEeprom };

struct EmulatedChipConfig {
    using Time = std::chrono::microseconds;

    std::string kind = "ID_SPI1";
    uint32_t size = 8u << 20;
    uint32_t pageSize = 256;

    // SPI identification. An empty JEDEC id: the chip does not know 9F (reads FF).
    std::vector<uint8_t> jedecId{0xEF, 0x40, 0x17};
    std::array<uint8_t, 2> resId{0x16, 0x16};   // AB: repeated pair
    std::array<uint8_t, 2> remsId{0xEF, 0x16};  // 90 at address 0: manufacturer, device
    std::array<uint8_t, 8> uniqueId{0xD1, 0x62, 0x38, 0x4C, 0x13, 0x2A, 0x5E, 0x07};
    std::array<uint8_t, 3> initialStatus{0, 0, 0};
    bool autoAddressIncrement = false;  // SST AAI word programming (AD)
    bool deepPowerDownOnB9 = false;     // B9 = deep power-down (else bank register access)

    // Durations in emulated time.
    Time chipEraseTime = std::chrono::seconds(20);
    Time blockEraseTime = std::chrono::milliseconds(150);
    Time sectorEraseTime = std::chrono::milliseconds(45);
    Time pageProgramTime = std::chrono::microseconds(400);  // typical of current W25Q parts
    Time statusWriteTime = std::chrono::milliseconds(10);
    Time aaiWordTime = std::chrono::microseconds(10);
    Time eepromWriteCycle = std::chrono::milliseconds(5);  // 24xx and 25xx EEPROM

    // 24xx: device byte the chip answers to (bit 0 clear); pin bits beyond the memory-address
    // bits of the device byte are compared.
    uint8_t i2cDeviceAddress = 0xA0;

    // Chip contents are loaded from and written back to this file when set.
    std::filesystem::path imageFile;
};

std::optional<EmulatedChipFamily> EmulatedFamilyOf(std::string_view kind);
// 24xx type code 0..12 of a kind text, nullopt for other kinds.
std::optional<uint8_t> I2cTypeOfKind(std::string_view kind);

// Builds the configuration from the fields of a chip database row: CHIPTEXT, CHIPID (kind),
// CHIPSIZE, PAGESIZE, SIGNATURE (six hex digits = JEDEC id, four = RES id) and ERTIME
// (chip erase seconds; 0 = unknown). Nullopt for an unknown kind or impossible sizes.
std::optional<EmulatedChipConfig> MakeEmulatedChipConfig(std::string_view chipText, std::string_view kind,
                                                         uint32_t size, uint32_t pageSize,
                                                         std::string_view signature, double eraseSeconds);

// The chip used when the user asks for emulation without naming one: a W25Q64 flash.
EmulatedChipConfig DefaultEmulatedChip();
