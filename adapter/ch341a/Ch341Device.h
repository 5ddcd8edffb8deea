#pragma once
// The adapter library built once over a UsbTransport: every operation becomes CH341A packets.
// With the libusb transport it drives the real adapter; with the emulated CH341A it drives
// emulated chips through exactly the same packets.

#include "adapter/UsbTransport.h"
#include "adapter/ch341a/Ch341Library.h"

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

struct AddressPhase;

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
    bool CH341WriteRead(uint32_t index, std::span<const uint8_t> write, uint32_t readStep, uint32_t readCount,
                        uint32_t& replyLength, std::span<uint8_t> reply) override;
    bool CH341StreamSPI4(uint32_t index, uint32_t chipSelect, std::span<uint8_t> buffer) override;
    bool CH341SetDelaymS(uint32_t index, uint32_t milliseconds) override;
    bool CH341ReadEEPROM(uint32_t index, uint8_t eepromType, uint32_t address, std::span<uint8_t> buffer) override;
    bool CH341WriteEEPROM(uint32_t index, uint8_t eepromType, uint32_t address,
                          std::span<const uint8_t> buffer) override;
    UsbStatus lastStatus() const override { return lastStatus_; }
    bool CH341StreamSPI4Chain(uint32_t index, uint32_t chipSelect, std::span<const std::span<uint8_t>> frames,
                              std::chrono::nanoseconds gap) override;
    uint64_t CH341StreamSPI4Begin(uint32_t index, uint32_t chipSelect, std::span<uint8_t> buffer) override;
    bool CH341StreamSPI4Wait(uint32_t index, uint64_t ticket) override;
    bool CH341I2cRandomRead(uint32_t index, std::span<const uint8_t> addressPhase, uint8_t readDevice,
                            std::span<uint8_t> data) override;
    bool CH341I2cPageWrite(uint32_t index, std::span<const uint8_t> addressPhase, std::span<const uint8_t> data,
                           std::size_t& acknowledged) override;

    UsbTransport& transport() { return *transport_; }
    const UsbTransport& transport() const { return *transport_; }

    // Several four-wire frames queued as one exchange (CH341StreamSPI4Chain in two halves); the
    // ticket is waited for with CH341StreamSPI4Wait.
    uint64_t CH341StreamSPI4ChainBegin(uint32_t index, uint32_t chipSelect, std::span<const std::span<uint8_t>> frames,
                                       std::chrono::nanoseconds gap = {});
    // One raw exchange of stream packets with replies of `inSizes` (I2C and pin streams built by
    // the bus masters); lastStatus() tells why it failed.
    bool exchange(std::span<const uint8_t> out, std::span<const uint8_t> inSizes, std::span<uint8_t> in,
                  std::size_t expected);

    // How long ACK polling waits for a 24xx write cycle (5 ms for most parts, 10 ms for some):
    // at least this many polls (about 1 ms each on the adapter) and this much time.
    static constexpr int MinWriteCyclePolls = 20;
    static constexpr std::chrono::milliseconds WriteCycleLimit{100};
    // I2C data bytes read per exchange by the block read.
    static constexpr uint32_t EepromReadChunk = 4096;

private:
    // SPI frames packed into one exchange, kept until it is collected.
    struct SpiExchange {
        ExchangeTicket ticket = 0;
        std::vector<uint8_t> out;
        std::vector<std::size_t> transferEnds;
        std::vector<uint8_t> inSizes;
        std::vector<uint8_t> in;
        std::vector<std::span<uint8_t>> frames;
        bool msbFirst = false;
    };
    // Callers hold mutex_.
    bool spiArguments(uint32_t index, std::span<const std::span<uint8_t>> frames);
    void packSpi(SpiExchange& exchange, uint32_t chipSelect, std::span<const std::span<uint8_t>> frames,
                 std::chrono::nanoseconds gap) const;
    bool submitSpi(SpiExchange& exchange);
    bool collectSpi(SpiExchange& exchange);
    // ACK polls of `device` until it answers; `answered` is the poll already made.
    bool waitWriteCycle(uint8_t device, bool answered);
    bool run(std::span<const uint8_t> out, std::span<const uint8_t> inSizes, std::size_t expected);
    bool run(std::span<const std::span<const uint8_t>> out, std::span<const uint8_t> inSizes, std::size_t expected);
    // Checks a block read or write of `length` bytes at `address`, then, holding mutex_, hands
    // `piece` the range one piece at a time: a page for a write; for a read, what one device
    // byte reaches, at most EepromReadChunk.
    bool eepromPieces(uint32_t index, uint8_t eepromType, uint32_t address, std::size_t length, bool write,
                      const std::function<bool(const AddressPhase&, std::size_t offset, std::size_t n)>& piece);
    bool readEepromChunk(const AddressPhase& phase, std::span<uint8_t> into);
    bool writeEepromPage(const AddressPhase& phase, std::span<const uint8_t> data);

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
    std::deque<SpiExchange> begun_;
    SpiExchange spiScratch_;
    std::vector<std::span<const uint8_t>> transfers_;
};
