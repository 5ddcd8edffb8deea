#include "adapter/emulator/I2cEeprom.h"

#include <bit>

I2cEeprom::I2cEeprom(const EmulatedChipConfig& config, uint8_t eepromType, ChipMemory& memory, const EmuClock& clock)
    : memory_(memory), clock_(clock), pageSize_(config.pageSize), addressBytes_(eepromType <= 4 ? 1 : 2),
      deviceAddress_(config.i2cDeviceAddress), writeCycle_(config.eepromWriteCycle), latch_(config.pageSize),
      latched_(config.pageSize)
{
    const int addressBits = std::bit_width(memory.size() - 1);
    const int extra = addressBits - 8 * addressBytes_;
    memoryBitsInDevice_ = static_cast<uint8_t>(extra < 0 ? 0 : extra > 3 ? 3 : extra);
}

bool I2cEeprom::answersTo(uint8_t deviceByte) const
{
    const uint8_t pinMask = static_cast<uint8_t>(0x0E & ~(((1u << memoryBitsInDevice_) - 1) << 1));
    const uint8_t mask = static_cast<uint8_t>(0xF0 | pinMask);
    return (deviceByte & mask) == (deviceAddress_ & mask);
}

void I2cEeprom::start()
{
    // A start in the middle of a write abandons it.
    phase_ = Phase::Device;
}

void I2cEeprom::stop()
{
    if (phase_ == Phase::Data && dataCount_ > 0) {
        const uint32_t base = pointer_ - pointer_ % pageSize_;
        auto cells = memory_.bytes();
        for (uint32_t i = 0; i < pageSize_; ++i)
            if (latched_[i] && base + i < cells.size()) cells[base + i] = latch_[i];
        memory_.markChanged();
        pointer_ = base + (pointer_ % pageSize_ + dataCount_) % pageSize_;
        busyUntil_ = clock_.now() + writeCycle_;
    }
    phase_ = Phase::Idle;
}

bool I2cEeprom::write(uint8_t byte)
{
    switch (phase_) {
    case Phase::Device: {
        if (busy() || !answersTo(byte)) {
            phase_ = Phase::Idle;
            return false;
        }
        if (byte & 1) {
            phase_ = Phase::Reading;
            return true;
        }
        const uint32_t high = (byte >> 1) & ((1u << memoryBitsInDevice_) - 1);
        addressSoFar_ = high;
        addressCount_ = 0;
        phase_ = Phase::Address;
        return true;
    }
    case Phase::Address:
        addressSoFar_ = (addressSoFar_ << 8) | byte;
        if (++addressCount_ == addressBytes_) {
            pointer_ = addressSoFar_ % memory_.size();
            std::fill(latched_.begin(), latched_.end(), false);
            dataCount_ = 0;
            phase_ = Phase::Data;
        }
        return true;
    case Phase::Data: {
        const uint32_t offset = (pointer_ % pageSize_ + dataCount_) % pageSize_;
        latch_[offset] = byte;
        latched_[offset] = true;
        ++dataCount_;
        return true;
    }
    case Phase::Idle:
    case Phase::Reading: // the chip drives the bus: nobody acknowledges the master's byte
        return false;
    }
    return false;
}

uint8_t I2cEeprom::read(bool masterAck)
{
    if (phase_ != Phase::Reading) return 0xFF;
    const uint8_t value = memory_.bytes()[pointer_];
    pointer_ = (pointer_ + 1) % memory_.size();
    if (!masterAck) phase_ = Phase::Idle;
    return value;
}
