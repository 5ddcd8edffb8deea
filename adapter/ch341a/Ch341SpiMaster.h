#pragma once
// The CH341A's SPI engine as a bus::SpiMaster: mode 0, most significant bit first (the adapter
// shifts bytes LSB first, so the device mirrors them), one fixed clock, chip select on CS0.

#include "adapter/bus/SpiMaster.h"

#include <deque>
#include <vector>

class Ch341Device;

class Ch341SpiMaster final : public bus::SpiMaster {
public:
    explicit Ch341SpiMaster(Ch341Device& device) : device_(device) {}

    using bus::SpiMaster::transfer;
    bool transfer(std::span<const bus::SpiFrame> frames, std::chrono::nanoseconds gap = {}) override;
    bus::SpiTicket queue(std::span<const bus::SpiFrame> frames) override;
    bool collect(bus::SpiTicket ticket) override;

    std::size_t largestFrame() const override { return LargestFrame; }
    std::vector<uint32_t> clocks() const override { return {Clock}; }
    uint32_t clock() const override { return Clock; }
    bool setClock(uint32_t hertz) override { return hertz == Clock; }
    void pause(std::chrono::microseconds duration) override;
    std::chrono::nanoseconds now() const override;
    UsbStatus lastStatus() const override;

    // The clock the adapter's engine runs at: about 1.5 MHz by every public measurement.
    static constexpr uint32_t Clock = 1'500'000;
    static constexpr std::size_t LargestFrame = 65536 + 16;

private:
    // The frames of one exchange laid out full duplex, in place: out bytes, then room for the in
    // bytes, which are copied to the caller's spans once the exchange is done.
    struct Exchange {
        bus::SpiTicket ticket = 0;
        std::vector<uint8_t> bytes;
        std::vector<std::span<uint8_t>> frames;
        std::vector<std::span<uint8_t>> ins;
    };
    bool layOut(Exchange& exchange, std::span<const bus::SpiFrame> frames);
    static void deliver(const Exchange& exchange);

    Ch341Device& device_;
    Exchange scratch_;
    std::deque<Exchange> queued_;
    UsbStatus argumentStatus_ = UsbStatus::Ok;
};
