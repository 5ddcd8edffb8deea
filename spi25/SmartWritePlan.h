#pragma once
// What a smart write does to a chip: from the chip's present contents, the image to write and the
// chip's geometry, the erase blocks to erase and the program units (pages, or SST blocks) to
// program, in the order they run, and the ranges that then need reading back. An erase block is
// erased only where some bit must go from 0 to 1; a unit is programmed when it differs from the
// chip (or, in an erased block, when it is not all FF).
#include "chipdb/Chip.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

struct SmartWriteGeometry {
    uint32_t size = 0;        // chip bytes; only whole program units below it are planned
    uint32_t programUnit = 0; // page size, or 256 for SST word programming
    // 0: nothing is erased, units are written as they are (25xx EEPROM); `size`: the chip erase;
    // else the erase block (4 KiB sectors).
    uint32_t eraseBlock = 0;
};

struct SmartWriteStep {
    enum class Kind { Erase, Program };
    Kind kind;
    uint32_t address;
    uint32_t length;
    bool operator==(const SmartWriteStep&) const = default;
};

struct SmartWriteRange {
    uint32_t address;
    uint32_t length;
    bool operator==(const SmartWriteRange&) const = default;
};

struct SmartWritePlan {
    // By address; an erase comes before the programs of its block.
    std::vector<SmartWriteStep> steps;
    // Every erased or programmed byte, as merged ascending ranges.
    std::vector<SmartWriteRange> touched;
    uint32_t erases = 0, programs = 0;
};

// `chip` and `target` hold at least geometry.size bytes; an unusable geometry (program unit 0, or
// an erase block that does not divide the size) plans nothing.
SmartWritePlan PlanSmartWrite(std::span<const uint8_t> chip, std::span<const uint8_t> target,
                              const SmartWriteGeometry& geometry);

// The geometry of an SPI chip kind: 4 KiB sectors for the flash kinds whose size they divide, the
// chip erase for smaller flash, no erase for the 25xx EEPROMs; SST kinds program 256-byte blocks.
SmartWriteGeometry SpiSmartWriteGeometry(std::string_view kind, uint32_t size, uint32_t pageSize);
SmartWriteGeometry SmartWriteGeometryOf(const chipdb::Chip& chip);
inline constexpr uint32_t SmartWriteSector = 4096;
