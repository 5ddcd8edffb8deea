#pragma once
// The adapter library built once over a UsbTransport: every operation becomes CH341A packets.
// With the libusb transport it drives the real adapter; with the emulated CH341A it drives
// emulated chips through exactly the same packets.

#include "adapter/Ch341Library.h"
#include "adapter/UsbTransport.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

struct EepromGeometry;

class Ch341Device final : public Ch341Library {
public:
    explicit Ch341Device(std::shared_ptr<UsbTransport> transport);
    ~Ch341Device() override;

    intptr_t CH341OpenDevice(uint32_t index) override;
    void CH341CloseDevice(uint32_t index) override;
    bool CH341ResetDevice(uint32_t index) override;
    bool CH341SetDeviceNotify(uint32_t index, const char* deviceId, DeviceNotify notify) override;
    bool CH341SetStream(uint32_t index, uint8_t mode) override;
    bool CH341WriteData(uint32_t index, std::span<const uint8_t> buffer) override;
    bool CH341WriteRead(uint32_t index, std::span<const uint8_t> write, uint32_t readStep,
                        uint32_t readCount, uint32_t& replyLength, std::span<uint8_t> reply) override;
    bool CH341StreamSPI4(uint32_t index, uint32_t chipSelect, std::span<uint8_t> buffer) override;
    bool CH341SetDelaymS(uint32_t index, uint32_t milliseconds) override;
    bool CH341ReadEEPROM(uint32_t index, uint8_t eepromType, uint32_t address,
                         std::span<uint8_t> buffer) override;
    bool CH341WriteEEPROM(uint32_t index, uint8_t eepromType, uint32_t address,
                          std::span<const uint8_t> buffer) override;
    UsbStatus lastStatus() const override { return lastStatus_; }

    UsbTransport& transport() { return *transport_; }

    // Upper bound on ACK polls while a 24xx page write completes (about 1 ms each).
    static constexpr int MaxWriteCyclePolls = 200;
    // I2C data bytes read per exchange by the block read.
    static constexpr uint32_t EepromReadChunk = 4096;

private:
    // Callers hold mutex_.
    bool run(std::span<const uint8_t> out, std::span<const uint8_t> inSizes, std::size_t expected);
    bool run(std::span<const std::span<const uint8_t>> out, std::span<const uint8_t> inSizes,
             std::size_t expected);
    bool readEepromChunk(const EepromGeometry& geometry, uint32_t address, std::span<uint8_t> into);
    bool writeEepromPage(const EepromGeometry& geometry, uint32_t address, std::span<const uint8_t> data);

    std::shared_ptr<UsbTransport> transport_;
    std::mutex mutex_;
    std::atomic<UsbStatus> lastStatus_{UsbStatus::Ok};
    bool msbFirst_ = false;
    // The speed bits the adapter was last set to; unknown after open, close, reset or a failure.
    // Setting the same mode again sends nothing: SPI status polls set it before every poll.
    std::optional<uint8_t> wireMode_;
    // Scratch buffers reused across calls.
    std::vector<uint8_t> out_;
    std::vector<uint8_t> inSizes_;
    std::vector<uint8_t> in_;
};
