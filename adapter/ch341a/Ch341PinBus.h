#pragma once
// The CH341A's pin stream (0xAB) as a bus::PinBus: a batch becomes one exchange of 32-byte UIO
// segments, each carrying as many pin sub-commands as fit; every sample answers one byte, and the
// samples of a segment come back as one IN packet.
//
// The usual adapter board for 93Cxx parts in the 25xx socket wires CS to D0 (active high, unlike
// the 25xx's CS0), CLK to D3 (the SPI engine's SCK), DI to D5 (MOSI) and DO to D7 (MISO).

#include "adapter/bus/PinBus.h"

#include <vector>

class Ch341Device;

class Ch341PinBus final : public bus::PinBus {
public:
    explicit Ch341PinBus(Ch341Device& device) : device_(device) {}

    bus::SocketPins socketPins() const override { return {0x01, 0x08, 0x20, 0x80}; }
    uint8_t outputMask() const override { return OutputMask; }
    bool run(const bus::PinBatch& batch, std::vector<uint8_t>& samples) override;
    bool release() override;
    void pause(std::chrono::microseconds duration) override;
    std::chrono::nanoseconds now() const override;
    UsbStatus lastStatus() const override;

    // D5..D0 can be driven; D7 and D6 are inputs only.
    static constexpr uint8_t OutputMask = 0x3F;
    // Sub-commands in one segment besides the stream command and the END that closes it.
    static constexpr std::size_t CommandsPerSegment = 30;

private:
    Ch341Device& device_;
    std::vector<uint8_t> out_, inSizes_;
};
