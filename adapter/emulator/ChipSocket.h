#pragma once
// The socket of an emulated adapter: the chip in it (its model, its cells, its image and state
// files), the faults that strike the chip side (a refused byte, a chip that stays busy), and the
// bus log of what the adapter put on its buses. Every emulated adapter drives its buses through
// one; the adapter guards it with its own lock.

#include "adapter/emulator/BusDevices.h"
#include "adapter/emulator/BusLog.h"
#include "adapter/emulator/BusLogFile.h"
#include "adapter/emulator/ChipMemory.h"
#include "adapter/emulator/EmuClock.h"
#include "adapter/emulator/EmulatedChipConfig.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

// Faults the emulated adapter can play on the next operation, to show how the program meets them.
enum class EmulatedFault {
    UsbError,      // one exchange fails with a USB error
    I2cNak,        // the 24xx chip refuses one byte
    ChipStaysBusy, // the chip reports busy (SPI) or refuses its address (24xx) until cleared
    Pulled,        // the adapter is pulled out
    CorruptReply,  // one reply byte arrives changed
};

class ChipSocket {
public:
    ChipSocket(EmulatedChipConfig config, const EmuClock& clock);

    const EmulatedChipConfig& config() const { return config_; }
    // The chip's cells; counts as a change for the image file.
    std::span<uint8_t> memory()
    {
        memory_.markChanged();
        return memory_.bytes();
    }
    // Takes the chip out (saving its image) and puts `config`'s chip in.
    void insert(EmulatedChipConfig config);
    // Writes the image file if the contents changed, and the state file if the kept status bits
    // changed.
    bool persist();
    // Power is gone: a frame in progress is not executed, and a busy fault ends.
    void powerOff();

    // Arms a fault that strikes once `afterPackets` more OUT packets have reached the adapter.
    void armFault(EmulatedFault fault, uint64_t afterPackets);
    // Chip-side faults end (a busy chip is ready again); an armed one is disarmed.
    void clearFault();
    // One OUT packet reached the adapter: a chip-side fault due now takes effect here; an
    // adapter-side one (USB error, pulled, corrupt reply) is returned for the adapter to play.
    std::optional<EmulatedFault> packetArrived();
    void endBusyFault() { stayBusy_ = false; }

    // The I2C bus.
    void i2cStart();
    void i2cStop();
    bool i2cWrite(uint8_t byte);
    uint8_t i2cRead(bool ack);

    // The SPI bus: chip select edges and bytes, MOSI in, MISO out (FF with nobody selected).
    void spiSelect();
    void spiDeselect();
    bool spiSelected() const { return selected_; }
    uint8_t spiTransfer(uint8_t mosi);
    // Several bytes in place, each replaced by the MISO byte clocked for it.
    void spiTransferBlock(std::span<uint8_t> bytes);

    // A 93Cxx on the socket's pins: the levels of its input lines after a pin change, and its DO
    // (high when nothing drives it; held low while selected by a chip that stays busy).
    bool hasMicrowireChip() const { return microwireChip_ != nullptr; }
    void microwireLines(bool select, bool clock, bool dataIn);
    bool microwireDataOut(bool select) const;

    // Bus log, off by default for speed.
    void setLogging(bool on) { logging_ = on; }
    bool logging() const { return logging_; }
    BusLog takeLog();
    // See BusLogFile.h; an empty path stops it. False when the file cannot be written.
    bool setLogFile(const std::filesystem::path& path, std::string_view firstNote);
    void note(std::string_view text);
    // A USB fault: in the bus log and the log file.
    void usbNote(std::string_view text);
    void usbOut(std::span<const uint8_t> packet)
    {
        if (logFile_) logFile_->usbOut(packet);
    }
    void usbIn(std::span<const uint8_t> packet)
    {
        if (logFile_) logFile_->usbIn(packet);
    }

private:
    void seat(); // makes the chip model of config_ on memory_
    void logI2c(const I2cEvent& event);
    void logSpi(uint8_t mosi, uint8_t miso);
    uint8_t busyAnswer(uint8_t mosi);

    EmulatedChipConfig config_;
    const EmuClock& clock_;
    ChipMemory memory_;
    std::unique_ptr<I2cSlave> i2cChip_;
    std::unique_ptr<SpiSlave> spiChip_;
    std::unique_ptr<MicrowireSlave> microwireChip_;
    std::optional<std::array<uint8_t, 3>> savedStatus_; // as the state file holds it

    bool logging_ = false;
    BusLog log_;
    std::unique_ptr<BusLogFile> logFile_;
    SpiFrame fileFrame_; // the SPI frame in progress, for the log file

    std::optional<EmulatedFault> armedFault_;
    uint64_t faultCountdown_ = 0;
    bool nakNext_ = false, stayBusy_ = false;
    bool selected_ = false;
    bool busyFrameStart_ = false;
    unsigned bytesSinceStart_ = 0; // I2C bytes written since the last start condition
    uint8_t busyOpcode_ = 0;       // the first byte of the SPI frame in progress while the chip stays busy
};
