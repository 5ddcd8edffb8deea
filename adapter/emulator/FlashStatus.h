#pragma once
// The status registers of an emulated SPI flash and the protection they define, by the part's
// protection scheme (chipdb/protection, the same values the program decides with): which
// addresses refuse program and erase, which bits a register write changes and in which register
// each byte lands, the register locks (SRP0 with /WP low; SRP1/SRL until the next power-up, or
// for ever where SRP1:SRP0 = 1:1 is the one-time lock), one-time programmable bits, the
// per-sector protection registers of AT25DF parts, and which bits a power cycle keeps. A write
// enabled by 50 changes only the volatile copy on parts that have one; a power cycle forgets it.
//
// Block locks (SST26, and W25Q-style parts with WPS = 1): every block is write-locked at
// power-up and 98 (after 06) unlocks them all. Single blocks (36/39/42) are not modelled there.

#include "adapter/emulator/EmulatedChipConfig.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

class FlashStatus {
public:
    // `saved`: the non-volatile bits kept from an earlier run.
    FlashStatus(const EmulatedChipConfig& config, std::optional<std::array<uint8_t, 3>> saved);

    // Register 0..2 without the busy and write-enable bits.
    uint8_t read(int index) const;
    // 01 (register 0, one value per register of the part's 01 layout), 31 (1) or 11 (2), write
    // enable already checked. `volatileCopy`: enabled by 50 on a part where 50 selects the
    // volatile copy. False when the part refused the write (locked, or no such command).
    bool write(int index, std::span<const uint8_t> values, bool volatileCopy);
    // Whether 50 enables a volatile write (W25Q style) rather than the next non-volatile one (SST).
    bool volatileEnableSelectsCopy() const { return scheme_.volatileWriteEnable50; }

    // True when any byte of [address, address + length) is protected.
    bool isProtected(uint32_t address, uint32_t length) const;

    // AT25DF: 36 / 39 on the sector holding `address`; false when refused (SPRL set, or the
    // part has no sector protection registers).
    bool setSectorProtection(uint32_t address, bool protect);
    bool sectorProtected(uint32_t address) const;
    // 98: clears every block's write lock; false for parts without block locks.
    bool unlockAllBlocks();

    // The bits a power cycle keeps, for the state file; nullopt for a part that keeps none.
    std::optional<std::array<uint8_t, 3>> nonVolatile() const;

private:
    bool registersLocked() const;
    bool blockLocksApply() const;
    bool writeSectorRegisters(uint8_t value);
    std::size_t sectorOf(uint32_t address) const;
    void applyPowerUp(std::array<uint8_t, 3> values);

    chipdb::ProtectionScheme scheme_;
    uint32_t size_;
    bool wpLow_;
    bool volatileProtection_;
    std::array<uint8_t, 3> current_{};
    std::array<uint8_t, 3> kept_{};
    // AT25DF
    std::vector<uint32_t> sectorStarts_;
    std::vector<bool> sectorLocked_;
    bool sprl_ = false;
    // SST26, WPS = 1
    bool blocksLocked_ = true;
};
