#pragma once
// The status registers of an emulated SPI flash and the protection they define, by the scheme
// of the part (see FlashProtection): which addresses refuse program and erase, which register
// writes the part accepts, the per-sector protection registers of AT25DF parts, and which bits a
// power cycle keeps.
//
// Winbond W25Q (SR1 = SRP0 SEC TB BP2 BP1 BP0 WEL BUSY, SR2 = SUS CMP LB3 LB2 LB1 - QE SRP1):
// BP counts 1/64 of the array (at least 64 KiB) doubling per step from the top, or from the
// bottom with TB; BP = 7 protects everything. SEC makes the unit 4 KiB, at most 32 KiB. CMP
// protects the complement. Parts above 16 MiB have BP3..BP0 in bits 5..2, TB in bit 6 and no
// SEC, with 64 KiB as the unit. SRP1 = 1 locks the registers (SRP1,SRP0 = 1,0 only until the
// next power-up), SRP0 = 1 locks them while /WP is low. LB bits are one-time programmable.
// A write enabled by 50 changes only the volatile copy, which a power cycle forgets.
//
// SST26: the status register holds no protection bits; the block protection register
// write-locks every block at power-up and 98 (after 06) unlocks them all. Single blocks (42)
// are not modelled.

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
    // 01 (register 0, one or two values), 31 (1) or 11 (2), write enable already checked.
    // `volatileCopy`: enabled by 50 on a part where 50 selects the volatile copy. False when the
    // part refused the write (locked, or no such register).
    bool write(int index, std::span<const uint8_t> values, bool volatileCopy);
    // Whether 50 enables a volatile write (W25Q) rather than the next non-volatile one (SST).
    bool volatileEnableSelectsCopy() const { return scheme_ == FlashProtection::Winbond; }

    // True when any byte of [address, address + length) is protected.
    bool isProtected(uint32_t address, uint32_t length) const;

    // AT25DF: 36 / 39 on the sector holding `address`; false when refused (SPRL set, or the
    // part has no sector protection registers).
    bool setSectorProtection(uint32_t address, bool protect);
    bool sectorProtected(uint32_t address) const;
    // SST26: 98 clears every block's write lock; false for other parts.
    bool unlockAllBlocks();

    // The bits a power cycle keeps, for the state file; nullopt for a part that keeps none.
    std::optional<std::array<uint8_t, 3>> nonVolatile() const;

private:
    struct Range {
        uint32_t from = 0, to = 0; // [from, to)
    };
    Range winbondRange() const;
    Range blocksRange() const;
    Range fractionRange() const;
    bool registersLocked() const;
    std::size_t sectorOf(uint32_t address) const;
    void applyPowerUp(std::array<uint8_t, 3> values);

    FlashProtection scheme_;
    uint32_t size_;
    uint8_t blockBits_;
    bool wpLow_;
    bool volatileProtection_;
    std::array<uint8_t, 3> current_{};
    std::array<uint8_t, 3> kept_{};
    // AT25DF
    std::vector<uint32_t> sectorStarts_;
    std::vector<bool> sectorLocked_;
    bool sprl_ = false;
    // SST26
    bool blocksLocked_ = true;
};
