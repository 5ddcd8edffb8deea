#include "adapter/emulator/SpiEeprom.h"

#include "chipdb/protection/ProtectedRange.h"

#include <algorithm>

namespace {
constexpr uint8_t StatusWritable = 0x8C;
}

SpiEeprom::SpiEeprom(const EmulatedChipConfig& config, ChipMemory& memory, const EmuClock& clock,
                     std::optional<std::array<uint8_t, 3>> savedStatus)
    : config_(config), memory_(memory), clock_(clock), addressBytes_(config.kind == "ID_SPI22" ? 1 : 2),
      status_(config.statusPreset.value_or(savedStatus.value_or(config.initialStatus))[0] & StatusWritable)
{
}

uint8_t SpiEeprom::status() const
{
    return static_cast<uint8_t>(status_ | (busy() ? 0x01 : 0) | (writeEnabled_ ? 0x02 : 0));
}

void SpiEeprom::select()
{
    frame_.clear();
    busyAtSelect_ = busy();
}

bool SpiEeprom::decodeAddress(uint32_t& address) const
{
    if (frame_.size() <= addressBytes_) return false;
    address = 0;
    for (std::size_t i = 1; i <= addressBytes_; ++i) address = (address << 8) | frame_[i];
    if (addressBytes_ == 1 && (frame_[0] & 0x08)) address |= 0x100;
    address %= static_cast<uint32_t>(memory_.size());
    return true;
}

uint8_t SpiEeprom::transfer(uint8_t mosi)
{
    frame_.push_back(mosi);
    const std::size_t position = frame_.size() - 1;
    if (position == 0) return 0xFF;
    const uint8_t op = addressBytes_ == 1 ? uint8_t(frame_[0] & ~0x08) : frame_[0];
    if (frame_[0] == 0x05) return status();
    if (busyAtSelect_ || op != 0x03 || position <= addressBytes_) return 0xFF;
    uint32_t address = 0;
    decodeAddress(address);
    return memory_.bytes()[(address + position - addressBytes_ - 1) % memory_.size()];
}

bool SpiEeprom::isProtected(uint32_t address) const
{
    return chipdb::protectedRange(config_.scheme, memory_.size(), {status_, 0, 0}).overlaps(address, 1);
}

void SpiEeprom::deselect()
{
    if (frame_.empty() || busyAtSelect_) return;
    const uint8_t op = addressBytes_ == 1 ? uint8_t(frame_[0] & ~0x08) : frame_[0];
    switch (frame_[0]) {
    case 0x06: writeEnabled_ = true; return;
    case 0x04: writeEnabled_ = false; return;
    case 0x01:
        // WPEN (bit 7) with /WP low locks the register.
        if (writeEnabled_ && frame_.size() >= 2 && !((status_ & 0x80) && config_.writeProtectPinLow)) {
            status_ = frame_[1] & StatusWritable;
            writeEnabled_ = false;
            busyUntil_ = clock_.now() + config_.eepromWriteCycle;
        }
        return;
    default: break;
    }
    if (op == 0x02 && writeEnabled_) write();
}

void SpiEeprom::write()
{
    uint32_t address = 0;
    if (!decodeAddress(address) || frame_.size() <= addressBytes_ + 1) return;
    writeEnabled_ = false;
    const uint32_t page = config_.pageSize;
    const uint32_t base = address / page * page;
    auto cells = memory_.bytes();
    const std::size_t dataStart = addressBytes_ + 1;
    for (std::size_t i = dataStart; i < frame_.size(); ++i) {
        const uint32_t cell = base + (address % page + uint32_t(i - dataStart)) % page;
        if (cell < cells.size() && !isProtected(cell)) cells[cell] = frame_[i];
    }
    memory_.markChanged();
    busyUntil_ = clock_.now() + config_.eepromWriteCycle;
}
