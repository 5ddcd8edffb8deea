#pragma once
// An in-process CH341A: decodes the same USB packets as the real adapter (I2C stream 0xAA,
// SPI stream 0xA8, pin stream 0xAB) and drives one emulated chip on its I2C or SPI bus.
// Records a bus log for tests and, on request, a bus log file for people; plugging and
// unplugging drive the hot-plug handler. With an image file the chip's contents and the status
// bits it keeps without power (ChipStateFile.h) are saved beside it on close, unplug and
// flushImage().

#include "adapter/UsbTransport.h"
#include "adapter/emulator/BusDevices.h"
#include "adapter/emulator/BusLog.h"
#include "adapter/emulator/BusLogFile.h"
#include "adapter/emulator/ChipMemory.h"
#include "adapter/emulator/EmuClock.h"
#include "adapter/emulator/EmulatedChipConfig.h"

#include <array>
#include <deque>
#include <optional>
#include <string_view>
#include <memory>
#include <mutex>
#include <vector>

class EmulatedCh341 final : public UsbTransport {
public:
    // timeScale > 1 makes emulated time run faster than real time (erases, write cycles).
    explicit EmulatedCh341(EmulatedChipConfig config, double timeScale = 1.0);
    ~EmulatedCh341() override;

    UsbStatus open() override;
    void close() override;
    bool isOpen() const override;
    void pause(std::chrono::microseconds duration) override;
    void setEventHandler(AdapterEventHandler handler) override;

    // Hot-plug: the handler hears 3 on plug, 1 on announceRemoval and 0 on unplug (on the
    // calling thread).
    void plug();
    void announceRemoval();
    void unplug();

    // Real time each exchange takes, to mimic the USB round trip of the real adapter (about
    // 1 ms at full speed); 0 by default.
    void setRoundTripLatency(std::chrono::microseconds latency);

    // Bus log, off by default for speed.
    void setLogging(bool on);
    BusLog takeLog();
    // Writes every USB packet and bus event to `path` from now on (see BusLogFile.h); an empty
    // path stops it. False when the file cannot be written.
    bool setLogFile(const std::filesystem::path& path);

    // The chip's cells, for tests to seed and inspect (not while an exchange runs). Counts as a
    // change for the image file.
    std::span<uint8_t> memory()
    {
        memory_.markChanged();
        return memory_.bytes();
    }
    // Writes the image file now if the contents changed, and the state file if the kept status
    // bits changed.
    bool flushImage();
    const EmulatedChipConfig& config() const { return config_; }
    uint8_t wireMode() const { return wireMode_; }
    const EmuClock& clock() const { return clock_; }

protected:
    UsbStatus doExchange(std::span<const std::span<const uint8_t>> out, std::span<const uint8_t> inSizes,
                         std::span<uint8_t> in, std::size_t& received) override;

private:
    void runSegment(std::span<const uint8_t> segment);
    void runI2c(std::span<const uint8_t> segment, std::vector<uint8_t>& reply);
    void runUio(std::span<const uint8_t> segment, std::vector<uint8_t>& reply);
    void runSpi(std::span<const uint8_t> segment, std::vector<uint8_t>& reply);
    void updateChipSelect();
    bool persist();  // image and state files; called with the lock held
    void logNote(std::string_view text);
    void logI2c(const I2cEvent& event);
    void i2cStart();
    void i2cStop();
    bool i2cWrite(uint8_t byte);
    uint8_t i2cRead(bool ack);

    EmulatedChipConfig config_;
    EmuClock clock_;
    ChipMemory memory_;
    std::unique_ptr<I2cSlave> i2cChip_;
    std::unique_ptr<SpiSlave> spiChip_;

    mutable std::mutex mutex_;
    AdapterEventHandler handler_;
    bool present_ = true;
    bool open_ = false;
    bool logging_ = false;
    std::chrono::microseconds latency_{0};
    BusLog log_;
    std::unique_ptr<BusLogFile> logFile_;
    SpiFrame fileFrame_;  // the SPI frame in progress, for the log file
    std::optional<std::array<uint8_t, 3>> savedStatus_;  // as the state file holds it
    std::deque<std::vector<uint8_t>> replies_;  // one IN packet per answering segment
    uint8_t wireMode_ = 0x01;
    uint8_t pinOut_ = 0x3F;
    uint8_t pinDir_ = 0x00;
    bool selected_ = false;
};
