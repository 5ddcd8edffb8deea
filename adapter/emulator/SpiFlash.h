#pragma once
// A 25xx SPI NOR flash: reads (03, FAST READ 0B with its dummy byte, 13 and 0C with four address
// bytes), identification (9F, AB, 90, 4B, SFDP 5A), status registers 1..3 (05/35/15,
// 01/31/11, volatile enable 50), write enable latch required for every change, programming
// that only clears bits and wraps inside the page, erases, busy bit with set durations, block
// protection by the part's scheme (FlashStatus), 3- and 4-byte addressing (B7/E9, 13/12/21/DC),
// SST auto-address-increment programming (AD) and B9 as the maker defines it:
// - deep power-down: the chip ignores everything but AB and its output floats high (FF); after
//   AB it needs its release time before it answers again;
// - bank register access (S25FL-S): B9 arms the bank register for the next 01; 17 writes and 16
//   reads it. Bit 7 (EXTADD) makes 3-byte commands take 4 address bytes, bits 6..0 are the
//   high address bits of 3-byte commands otherwise.
// SFDP (5A): 3 address bytes whatever the addressing mode, a dummy byte, then the configured
// table; FF past its end, and the address wraps at the next power of two of at least 256 bytes, so
// a 256-byte table repeats as on the parts whose SFDP space is one page.
// AT25DF parts also take 36/39 (protect/unprotect sector) and 3C (read sector protection),
// SST26 parts 98 (global block protection unlock).

#include "adapter/emulator/BusDevices.h"
#include "adapter/emulator/ChipMemory.h"
#include "adapter/emulator/EmuClock.h"
#include "adapter/emulator/EmulatedChipConfig.h"
#include "adapter/emulator/FlashStatus.h"

#include <vector>

class SpiFlash final : public SpiSlave {
public:
    SpiFlash(const EmulatedChipConfig& config, ChipMemory& memory, const EmuClock& clock,
             std::optional<std::array<uint8_t, 3>> savedStatus = std::nullopt);

    void select() override;
    uint8_t transfer(uint8_t mosi) override;
    void transferBlock(std::span<uint8_t> bytes) override;
    void deselect() override;
    std::optional<std::array<uint8_t, 3>> keptStatus() const override { return registers_.nonVolatile(); }

    uint8_t status(int index) const; // 0..2, with the live busy and write-enable bits
    bool fourByteMode() const { return fourByte_ || (bankRegister_ & ExtendedAddress); }
    uint8_t bankRegister() const { return bankRegister_; }
    bool poweredDown() const { return powerDown_; }

private:
    static constexpr uint8_t ExtendedAddress = 0x80;

    bool busy() const { return clock_.now() < busyUntil_; }
    uint8_t response(std::size_t position) const;
    uint8_t sfdpByte(uint32_t address) const;
    std::size_t addressBytes() const { return fourByteMode() ? 4 : 3; }
    uint32_t frameAddress(std::size_t first, std::size_t count) const;
    // Address of a command with 3 or 4 address bytes as the current addressing mode reads it.
    uint32_t commandAddress() const;
    void execute();
    bool executeRegisterCommand(uint8_t op, bool volatileEnable);
    void program(uint32_t address, std::size_t dataStart);
    void programAai();
    void erase(uint32_t address, uint32_t length, EmuClock::Duration duration);
    void writeStatus(bool volatileEnable);
    void startBusy(EmuClock::Duration duration) { busyUntil_ = clock_.now() + duration; }

    const EmulatedChipConfig& config_;
    ChipMemory& memory_;
    const EmuClock& clock_;
    FlashStatus registers_;
    std::vector<uint8_t> frame_;
    bool busyAtSelect_ = false;
    bool asleepAtSelect_ = false; // in deep power-down, or not yet released from it
    bool writeEnabled_ = false;
    bool volatileStatusEnabled_ = false;
    bool fourByte_ = false;
    bool powerDown_ = false;
    bool streaming_ = false; // a read frame's address is complete: data bytes follow
    std::size_t readAddress_ = 0;
    bool bankAccess_ = false; // B9 armed the bank register for the next 01
    uint8_t bankRegister_ = 0;
    bool aai_ = false;
    uint32_t aaiAddress_ = 0;
    EmuClock::Duration busyUntil_{0};
    EmuClock::Duration awakeFrom_{0};
};
