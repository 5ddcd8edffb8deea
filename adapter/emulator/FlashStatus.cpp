#include "adapter/emulator/FlashStatus.h"

#include <algorithm>

namespace {
constexpr uint32_t KiB = 1024;
constexpr uint32_t Block64 = 64 * KiB;
constexpr uint8_t LiveBits = 0x03; // BUSY and WEL are not stored

// W25Q register bits.
constexpr uint8_t Srp0 = 0x80;
constexpr uint8_t Srp1 = 0x01;
constexpr uint8_t Cmp = 0x40;
constexpr uint8_t LockBits = 0x38;
constexpr std::array<uint8_t, 3> WinbondWritable{0xFC, 0x7B, 0xE4};

// AT25DF register 1.
constexpr uint8_t Sprl = 0x80;
constexpr uint8_t Wpp = 0x10;
constexpr uint8_t GlobalProtectBits = 0x3C;

uint32_t Shifted(uint32_t unit, unsigned steps)
{
    return steps >= 31 ? UINT32_MAX : unit << steps;
}
} // namespace

FlashStatus::FlashStatus(const EmulatedChipConfig& config, std::optional<std::array<uint8_t, 3>> saved)
    : scheme_(config.protection), size_(config.size), blockBits_(config.blockProtectBits),
      wpLow_(config.writeProtectPinLow), volatileProtection_(config.volatileProtection)
{
    if (scheme_ == FlashProtection::At25dfSectors) {
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
        // W25Q: the power-supply lock-down (SRP1,SRP0 = 1,0) ends with the power cycle.
        if (scheme_ == FlashProtection::Winbond && (values[1] & Srp1) && !(values[0] & Srp0)) values[1] &= ~Srp1;
    }
    applyPowerUp(values);
}

void FlashStatus::applyPowerUp(std::array<uint8_t, 3> values)
{
    values[0] &= static_cast<uint8_t>(~LiveBits);
    if (scheme_ == FlashProtection::At25dfSectors) {
        // SWP (bits 3..2) 00: no sector protected; otherwise all.
        sectorLocked_.assign(sectorStarts_.size(), (values[0] & 0x0C) != 0);
        sprl_ = (values[0] & Sprl) != 0;
        values = {0, 0, 0};
    }
    current_ = kept_ = values;
}

uint8_t FlashStatus::read(int index) const
{
    if (scheme_ != FlashProtection::At25dfSectors || index != 0) return current_[index];
    const auto locked = std::count(sectorLocked_.begin(), sectorLocked_.end(), true);
    const uint8_t swp = locked == 0 ? 0x00 : locked == std::ssize(sectorLocked_) ? 0x0C : 0x04;
    return static_cast<uint8_t>((sprl_ ? Sprl : 0) | (wpLow_ ? 0 : Wpp) | swp);
}

bool FlashStatus::registersLocked() const
{
    switch (scheme_) {
    case FlashProtection::Winbond: return (current_[1] & Srp1) || ((current_[0] & Srp0) && wpLow_);
    case FlashProtection::Blocks64K: return (current_[0] & 0x80) && wpLow_;
    default: return false;
    }
}

bool FlashStatus::write(int index, std::span<const uint8_t> values, bool volatileCopy)
{
    if (values.empty() || registersLocked()) return false;
    switch (scheme_) {
    case FlashProtection::At25dfSectors: {
        if (index != 0) return false;
        const uint8_t value = values[0];
        if (sprl_) {
            if (!wpLow_) sprl_ = (value & Sprl) != 0; // only SPRL changes while it is set
            return true;
        }
        if ((value & GlobalProtectBits) == 0) sectorLocked_.assign(sectorLocked_.size(), false);
        if ((value & GlobalProtectBits) == GlobalProtectBits) sectorLocked_.assign(sectorLocked_.size(), true);
        sprl_ = (value & Sprl) != 0;
        return true;
    }
    case FlashProtection::Blocks64K:
        if (index != 0) return false;
        current_[0] = kept_[0] = values[0] & static_cast<uint8_t>(0x80 | blockBits_);
        return true;
    case FlashProtection::Winbond:
        for (std::size_t i = 0; i < values.size() && index + i < 3 && i < 2; ++i) {
            const std::size_t reg = index + i;
            uint8_t value =
                static_cast<uint8_t>((current_[reg] & ~WinbondWritable[reg]) | (values[i] & WinbondWritable[reg]));
            if (reg == 1) value |= current_[1] & LockBits; // one-time programmable
            if (reg == 1 && volatileCopy) value |= current_[1] & Srp1;
            current_[reg] = value;
            if (!volatileCopy) kept_[reg] = value;
            if (index != 0) break; // 31 and 11 write one register
        }
        return true;
    case FlashProtection::Sst26Blocks:
    case FlashProtection::BlockFraction:
        if (index == 0) {
            current_[0] = static_cast<uint8_t>(values[0] & ~LiveBits);
            if (values.size() >= 2) current_[1] = values[1];
        } else {
            current_[index] = values[0];
        }
        if (!volatileCopy) kept_ = current_;
        return true;
    }
    return false;
}

std::size_t FlashStatus::sectorOf(uint32_t address) const
{
    const auto next = std::upper_bound(sectorStarts_.begin(), sectorStarts_.end(), address);
    return static_cast<std::size_t>(next - sectorStarts_.begin()) - 1;
}

bool FlashStatus::setSectorProtection(uint32_t address, bool protect)
{
    if (scheme_ != FlashProtection::At25dfSectors || sprl_) return false;
    sectorLocked_[sectorOf(address % size_)] = protect;
    return true;
}

bool FlashStatus::unlockAllBlocks()
{
    if (scheme_ != FlashProtection::Sst26Blocks) return false;
    blocksLocked_ = false;
    return true;
}

bool FlashStatus::sectorProtected(uint32_t address) const
{
    return scheme_ == FlashProtection::At25dfSectors && sectorLocked_[sectorOf(address % size_)];
}

FlashStatus::Range FlashStatus::fractionRange() const
{
    const unsigned bp = (current_[0] >> 2) & 7;
    if (bp == 0) return {};
    const uint32_t length = bp == 7 ? size_ : size_ >> (7 - bp);
    return (current_[0] & 0x20) ? Range{0, length} : Range{size_ - length, size_};
}

FlashStatus::Range FlashStatus::blocksRange() const
{
    const unsigned bp = (current_[0] & blockBits_) >> 2;
    if (bp == 0) return {};
    return {size_ - std::min(size_, Shifted(Block64, bp - 1)), size_};
}

FlashStatus::Range FlashStatus::winbondRange() const
{
    const uint8_t sr1 = current_[0];
    const bool fourBits = size_ > 16 * KiB * KiB;
    const unsigned bp = fourBits ? (sr1 >> 2) & 0x0F : (sr1 >> 2) & 0x07;
    const bool bottom = fourBits ? (sr1 & 0x40) != 0 : (sr1 & 0x20) != 0;
    const bool sector = !fourBits && (sr1 & 0x40) != 0;
    uint32_t length = 0;
    if (bp == 0)
        length = 0;
    else if (!fourBits && bp == 7)
        length = size_;
    else if (sector)
        length = std::min(32 * KiB, Shifted(4 * KiB, bp - 1));
    else
        length = std::min(size_, Shifted(fourBits ? Block64 : std::max(Block64, size_ / 64), bp - 1));

    if (current_[1] & Cmp) {
        if (length == 0) return {0, size_};
        if (length == size_) return {};
        return bottom ? Range{length, size_} : Range{0, size_ - length};
    }
    return bottom ? Range{0, length} : Range{size_ - length, size_};
}

bool FlashStatus::isProtected(uint32_t address, uint32_t length) const
{
    if (length == 0) return false;
    Range range;
    switch (scheme_) {
    case FlashProtection::At25dfSectors: {
        const uint32_t last = std::min(size_ - 1, address + length - 1);
        for (std::size_t i = sectorOf(address); i <= sectorOf(last); ++i)
            if (sectorLocked_[i]) return true;
        return false;
    }
    case FlashProtection::Sst26Blocks: return blocksLocked_;
    case FlashProtection::Winbond: range = winbondRange(); break;
    case FlashProtection::Blocks64K: range = blocksRange(); break;
    case FlashProtection::BlockFraction: range = fractionRange(); break;
    }
    return address < range.to && address + length > range.from;
}

std::optional<std::array<uint8_t, 3>> FlashStatus::nonVolatile() const
{
    if (volatileProtection_) return std::nullopt;
    return kept_;
}
