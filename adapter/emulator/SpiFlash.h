#pragma once
// A 25xx SPI NOR flash: identification (9F, AB, 90, 4B), status registers 1..3 (05/35/15,
// 01/31/11, volatile enable 50), write enable latch required for every change, programming
// that only clears bits and wraps inside the page, erases, busy bit with set durations, block
// protection, 3- and 4-byte addressing (B7/E9, 13/12/21/DC, bank register 17/16), SST
// auto-address-increment programming (AD) and optional deep power-down on B9.
//
// Block protection: BP2..BP0 (status bits 4..2) protect 2^(BP-7) of the array from the top,
// or from the bottom with TB (bit 5); BP = 7 protects everything.

#include "adapter/emulator/BusDevices.h"
#include "adapter/emulator/ChipMemory.h"
#include "adapter/emulator/EmuClock.h"
#include "adapter/emulator/EmulatedChipConfig.h"

#include <vector>

class SpiFlash final : public SpiSlave {
public:
    SpiFlash(const EmulatedChipConfig& config, ChipMemory& memory, const EmuClock& clock);

    void select() override;
    uint8_t transfer(uint8_t mosi) override;
    void deselect() override;

    uint8_t status(int index) const;  // 0..2, with the live busy and write-enable bits
    bool fourByteMode() const { return fourByte_; }

private:
    bool busy() const { return clock_.now() < busyUntil_; }
    uint8_t response(std::size_t position) const;
    uint32_t frameAddress(std::size_t first, std::size_t count) const;
    bool isProtected(uint32_t address, uint32_t length) const;
    void execute();
    void program(uint32_t address, std::size_t dataStart);
    void erase(uint32_t address, uint32_t length, EmuClock::Duration duration);
    void writeStatus(bool volatileEnable);
    void startBusy(EmuClock::Duration duration) { busyUntil_ = clock_.now() + duration; }

    const EmulatedChipConfig& config_;
    ChipMemory& memory_;
    const EmuClock& clock_;
    std::vector<uint8_t> frame_;
    bool busyAtSelect_ = false;
    uint8_t status_[3];
    bool writeEnabled_ = false;
    bool volatileStatusEnabled_ = false;
    bool fourByte_ = false;
    bool powerDown_ = false;
    bool aai_ = false;
    uint32_t aaiAddress_ = 0;
    EmuClock::Duration busyUntil_{0};
};
