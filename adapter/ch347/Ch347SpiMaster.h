#pragma once
// The CH347's SPI engine as a bus::SpiMaster: mode 0, most significant bit first, chip select
// CS0 driven by the host (C1), the clock chosen from the adapter's eight. Each bus frame becomes
// its own command frames, one OUT transfer each: CS0 low; the bytes out in C4 write blocks of at
// most 507 bytes (each answered by a status frame) and the bytes in by one C3 read block (answered
// by a stream of data frames), or both in one C2 full-duplex frame when they fit; CS0 high. The
// frames of one exchange go out back to back and several exchanges can be queued, so the adapter
// never waits for the host between them.

#include "adapter/UsbTransport.h"
#include "adapter/bus/SpiMaster.h"

#include <deque>
#include <vector>

class Ch347SpiMaster final : public bus::SpiMaster {
public:
    explicit Ch347SpiMaster(UsbTransport& transport) : transport_(transport) {}

    using bus::SpiMaster::transfer;
    bool transfer(std::span<const bus::SpiFrame> frames, std::chrono::nanoseconds gap = {}) override;
    bus::SpiTicket queue(std::span<const bus::SpiFrame> frames) override;
    bool collect(bus::SpiTicket ticket) override;

    std::size_t largestFrame() const override { return LargestFrame; }
    std::vector<uint32_t> clocks() const override;
    uint32_t clock() const override;
    // Takes effect at once when the engine is configured, else with the next configuration.
    bool setClock(uint32_t hertz) override;
    void pause(std::chrono::microseconds duration) override { transport_.pause(duration); }
    std::chrono::nanoseconds now() const override { return transport_.now(); }
    UsbStatus lastStatus() const override { return status_; }

    // Sends the configuration (C0) and deasserts CS0; done before the first transfer after
    // forget(), which the adapter calls whenever the link was opened anew.
    bool configure();
    void forget() { configured_ = false; }

    static constexpr std::size_t LargestFrame = 65536 + 16;

private:
    // Where the payload of one reply frame goes: a status to check, or bytes for a frame's `in`.
    struct Reply {
        uint8_t command;
        uint16_t payload;
        std::size_t frame;    // C2, C3: the bus frame
        std::size_t skip;     // C2: bytes of the payload shifted in during the out bytes
        std::size_t inOffset; // C2, C3: where in that frame's `in` the bytes go
    };
    // One exchange: its command frames laid out one after another, the replies they bring.
    struct Exchange {
        bus::SpiTicket ticket = 0;
        std::vector<uint8_t> out;
        std::vector<std::size_t> ends; // of each command frame in `out`
        std::vector<std::span<const uint8_t>> transfers;
        std::vector<uint16_t> inSizes;
        std::vector<Reply> replies;
        std::vector<uint8_t> in;
        std::vector<std::span<uint8_t>> ins; // the callers' spans
    };
    bool layOut(Exchange& exchange, std::span<const bus::SpiFrame> frames, std::size_t gapBytes);
    void addFrame(Exchange& exchange, uint8_t command, std::span<const uint8_t> payload, std::size_t padding = 0);
    void addChipSelect(Exchange& exchange, bool asserted);
    void addReply(Exchange& exchange, Reply reply);
    bool submit(Exchange& exchange);
    // Checks every reply frame of a collected exchange; only then fills the callers' spans.
    bool deliver(const Exchange& exchange, std::size_t received);
    // Dummy bytes clocked with CS0 high that last at least `gap` at the present clock.
    std::size_t gapBytes(std::chrono::nanoseconds gap) const;
    bool fail(UsbStatus status);

    UsbTransport& transport_;
    // 15 MHz until the core chooses: every board and every part's plain READ (03) manage it;
    // level-shifted boards are not reliable above.
    int clockIndex_ = 2;
    bool configured_ = false;
    Exchange scratch_;
    std::deque<Exchange> queued_;
    UsbStatus status_ = UsbStatus::Ok;
};
