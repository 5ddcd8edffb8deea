#pragma once
// A 25xx SPI EEPROM: 03/02 with one or two address bytes (address bit 8 in opcode bit 3 for
// the one-byte parts of 512 bytes: 0B/0A), write enable latch, page writes that wrap inside
// the page and replace the bytes, status register with BP1..BP0 (bits 3..2) and WPEN (bit 7),
// write cycle during which only the status register answers. There is no erase command: 25xx
// EEPROMs replace bytes as they write them.

#include "adapter/emulator/BusDevices.h"
#include "adapter/emulator/ChipMemory.h"
#include "adapter/emulator/EmuClock.h"
#include "adapter/emulator/EmulatedChipConfig.h"

#include <vector>

class SpiEeprom final : public SpiSlave {
public:
    SpiEeprom(const EmulatedChipConfig& config, ChipMemory& memory, const EmuClock& clock,
              std::optional<std::array<uint8_t, 3>> savedStatus = std::nullopt);

    void select() override;
    uint8_t transfer(uint8_t mosi) override;
    void deselect() override;
    std::optional<std::array<uint8_t, 3>> keptStatus() const override { return std::array<uint8_t, 3>{status_, 0, 0}; }

private:
    bool busy() const { return clock_.now() < busyUntil_; }
    uint8_t status() const;
    // Address of a read or write frame, nullopt when the frame is shorter than its header.
    bool decodeAddress(uint32_t& address) const;
    bool isProtected(uint32_t address) const;
    void write();

    const EmulatedChipConfig& config_;
    ChipMemory& memory_;
    const EmuClock& clock_;
    std::size_t addressBytes_;
    std::vector<uint8_t> frame_;
    bool busyAtSelect_ = false;
    uint8_t status_ = 0;
    bool writeEnabled_ = false;
    EmuClock::Duration busyUntil_{0};
};
