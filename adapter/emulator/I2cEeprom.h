#pragma once
// A 24xx I2C EEPROM: device byte with memory-address and pin bits, one or two address bytes,
// page writes that wrap inside the page, a write cycle during which it does not acknowledge,
// sequential reads that roll over the whole array.

#include "adapter/emulator/BusDevices.h"
#include "adapter/emulator/ChipMemory.h"
#include "adapter/emulator/EmuClock.h"
#include "adapter/emulator/EmulatedChipConfig.h"

#include <vector>

class I2cEeprom final : public I2cSlave {
public:
    I2cEeprom(const EmulatedChipConfig& config, uint8_t eepromType, ChipMemory& memory, const EmuClock& clock);

    void start() override;
    void stop() override;
    bool write(uint8_t byte) override;
    uint8_t read(bool masterAck) override;

private:
    enum class Phase { Idle, Device, Address, Data, Reading };
    bool busy() const { return clock_.now() < busyUntil_; }
    bool answersTo(uint8_t deviceByte) const;

    ChipMemory& memory_;
    const EmuClock& clock_;
    uint32_t pageSize_;
    uint8_t addressBytes_;
    uint8_t memoryBitsInDevice_; // device-address bits 1.. that carry memory address bits
    uint8_t deviceAddress_;
    EmuClock::Duration writeCycle_;

    Phase phase_ = Phase::Idle;
    uint32_t pointer_ = 0;
    uint32_t addressSoFar_ = 0;
    uint8_t addressCount_ = 0;
    std::vector<uint8_t> latch_;
    std::vector<bool> latched_;
    uint32_t dataCount_ = 0;
    EmuClock::Duration busyUntil_{0};
};
