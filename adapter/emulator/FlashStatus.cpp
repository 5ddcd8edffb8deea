#include "adapter/emulator/FlashStatus.h"

#include "chipdb/protection/ProtectedRange.h"

#include <algorithm>

namespace {
constexpr uint32_t KiB = 1024;
constexpr uint32_t Block64 = 64 * KiB;
constexpr uint8_t LiveBits = 0x03; // BUSY and WEL are not stored

// AT25DF register 1.
constexpr uint8_t Sprl = 0x80;
constexpr uint8_t Wpp = 0x10;
constexpr uint8_t GlobalProtectBits = 0x3C;

using chipdb::RangeRule;
} // namespace

FlashStatus::FlashStatus(const EmulatedChipConfig& config, std::optional<std::array<uint8_t, 3>> saved)
    : scheme_(config.scheme), size_(config.size), wpLow_(config.writeProtectPinLow),
      volatileProtection_(config.volatileProtection)
{
    if (scheme_.rule == RangeRule::SectorRegisters) {
        // The AT25DF041A splits its top 64 KiB into 32, 8, 8 and 16 KiB sectors.
        const bool split = size_ == 512 * KiB;
        for (uint32_t start = 0; start < size_; start += Block64) {
            if (split && start + Block64 == size_) {
                for (uint32_t offset : {0u, 32 * KiB, 40 * KiB, 48 * KiB}) sectorStarts_.push_back(start + offset);
            } else {
                sectorStarts_.push_back(start);
            }
        }
        sectorLocked_.assign(sectorStarts_.size(), true);
    }
    std::array<uint8_t, 3> values = config.initialStatus;
    if (config.statusPreset) {
        values = *config.statusPreset;
    } else if (saved && !volatileProtection_) {
        values = *saved;
        // SRP1 (SRL) locks only until this power-up, unless SRP1:SRP0 = 1:1 is the one-time lock.
        const bool forever = scheme_.srpBothSetIsPermanent && scheme_.srp0.isSet(values);
        if (scheme_.srp1.isSet(values) && !forever) values[scheme_.srp1.reg] &= ~scheme_.srp1.mask();
    }
    applyPowerUp(values);
}

void FlashStatus::applyPowerUp(std::array<uint8_t, 3> values)
{
    values[0] &= static_cast<uint8_t>(~LiveBits);
    if (scheme_.rule == RangeRule::SectorRegisters) {
        // SWP (bits 3..2) 00: no sector protected; otherwise all.
        sectorLocked_.assign(sectorStarts_.size(), (values[0] & 0x0C) != 0);
        sprl_ = scheme_.sprl.isSet(values);
        values = {0, 0, 0};
    }
    current_ = kept_ = values;
}

uint8_t FlashStatus::read(int index) const
{
    if (scheme_.rule != RangeRule::SectorRegisters || index != 0) return current_[index];
    const auto locked = std::count(sectorLocked_.begin(), sectorLocked_.end(), true);
    const uint8_t swp = locked == 0 ? 0x00 : locked == std::ssize(sectorLocked_) ? 0x0C : 0x04;
    return static_cast<uint8_t>((sprl_ ? Sprl : 0) | (wpLow_ ? 0 : Wpp) | swp);
}

bool FlashStatus::registersLocked() const
{
    // SRP1 (SRL) refuses every write, until power-off or for ever; SRP0 (SRWD, BPL, WPEN) only
    // while /WP is low.
    return scheme_.srp1.isSet(current_) || (scheme_.srp0.isSet(current_) && wpLow_);
}

bool FlashStatus::write(int index, std::span<const uint8_t> values, bool volatileCopy)
{
    if (values.empty() || registersLocked()) return false;
    if (scheme_.rule == RangeRule::SectorRegisters) return index == 0 && writeSectorRegisters(values[0]);
    if (index != 0 && !scheme_.writes.separateCommands) return false;
    if (index == 0 && scheme_.writes.order01[0] < 0) return false; // a mask ROM
    // 01 fills the registers of the part's layout in order; 31 and 11 write one register each.
    const std::size_t count = index == 0 ? values.size() : 1;
    for (std::size_t i = 0; i < count && i < scheme_.writes.order01.size(); ++i) {
        const int reg = index == 0 ? scheme_.writes.order01[i] : index;
        if (reg < 0) break;
        const uint8_t writable = scheme_.writable[reg];
        auto value = static_cast<uint8_t>((current_[reg] & ~writable) | (values[i] & writable));
        value |= current_[reg] & scheme_.oneTimeMask(reg); // once set, never cleared
        // A volatile write cannot lift the power-cycle lock either.
        if (volatileCopy && scheme_.srp1.reg == reg) value |= current_[reg] & scheme_.srp1.mask();
        current_[reg] = value;
        if (!volatileCopy) kept_[reg] = value;
    }
    return true;
}

// AT25DF 01: bits 5..2 all 0 unprotect every sector, all 1 protect every sector; SPRL is stored.
bool FlashStatus::writeSectorRegisters(uint8_t value)
{
    if (sprl_) {
        if (!wpLow_) sprl_ = (value & Sprl) != 0; // only SPRL changes while it is set
        return true;
    }
    if ((value & GlobalProtectBits) == 0) sectorLocked_.assign(sectorLocked_.size(), false);
    if ((value & GlobalProtectBits) == GlobalProtectBits) sectorLocked_.assign(sectorLocked_.size(), true);
    sprl_ = (value & Sprl) != 0;
    return true;
}

std::size_t FlashStatus::sectorOf(uint32_t address) const
{
    const auto next = std::upper_bound(sectorStarts_.begin(), sectorStarts_.end(), address);
    return static_cast<std::size_t>(next - sectorStarts_.begin()) - 1;
}

bool FlashStatus::setSectorProtection(uint32_t address, bool protect)
{
    if (scheme_.rule != RangeRule::SectorRegisters || sprl_) return false;
    sectorLocked_[sectorOf(address % size_)] = protect;
    return true;
}

bool FlashStatus::blockLocksApply() const
{
    return scheme_.rule == RangeRule::BlockRegister || scheme_.wps.isSet(current_);
}

bool FlashStatus::unlockAllBlocks()
{
    if (!blockLocksApply()) return false;
    blocksLocked_ = false;
    return true;
}

bool FlashStatus::sectorProtected(uint32_t address) const
{
    return scheme_.rule == RangeRule::SectorRegisters && sectorLocked_[sectorOf(address % size_)];
}

bool FlashStatus::isProtected(uint32_t address, uint32_t length) const
{
    if (length == 0) return false;
    if (scheme_.rule == RangeRule::SectorRegisters) {
        const uint32_t last = std::min(size_ - 1, address + length - 1);
        for (std::size_t i = sectorOf(address); i <= sectorOf(last); ++i)
            if (sectorLocked_[i]) return true;
        return false;
    }
    if (blockLocksApply()) return blocksLocked_;
    return chipdb::protectedRange(scheme_, size_, current_).overlaps(address, length);
}

std::optional<std::array<uint8_t, 3>> FlashStatus::nonVolatile() const
{
    if (volatileProtection_) return std::nullopt;
    return kept_;
}
