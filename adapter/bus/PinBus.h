#pragma once
// The adapter's pin port driven pin by pin, for chips without a bus engine of their own (93Cxx
// Microwire). A batch of pin changes and samples runs in as few exchanges as the adapter allows,
// so a host never pays one USB round trip per clock edge.

#include "adapter/UsbStatus.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <vector>

namespace bus {

// Where the lines of the 25xx socket sit in the port byte of this adapter (one bit each).
struct SocketPins {
    uint8_t chipSelect = 0; // socket pin 1
    uint8_t clock = 0;      // socket pin 6
    uint8_t toChip = 0;     // socket pin 5 (MOSI, DI)
    uint8_t fromChip = 0;   // socket pin 2 (MISO, DO)
};

class PinBatch {
public:
    enum class Kind : uint8_t { Drive, Sample, Hold };
    struct Step {
        Kind kind;
        uint8_t levels = 0;       // Drive: the levels of the output pins
        uint32_t nanoseconds = 0; // Hold
    };

    // Drives the output pins to `levels` (bits of pins that are inputs are ignored).
    PinBatch& drive(uint8_t levels)
    {
        steps_.push_back({Kind::Drive, levels});
        return *this;
    }
    // Reads the whole port: one sample per call, in order.
    PinBatch& sample()
    {
        steps_.push_back({Kind::Sample, 0});
        ++samples_;
        return *this;
    }
    // Leaves the pins as they are for at least `duration` before the next step, inside the batch.
    PinBatch& hold(std::chrono::nanoseconds duration)
    {
        const auto clamped = std::clamp<int64_t>(duration.count(), 0, UINT32_MAX);
        steps_.push_back({Kind::Hold, 0, uint32_t(clamped)});
        return *this;
    }

    const std::vector<Step>& steps() const { return steps_; }
    std::size_t samples() const { return samples_; }
    void clear()
    {
        steps_.clear();
        samples_ = 0;
    }

private:
    std::vector<Step> steps_;
    std::size_t samples_ = 0;
};

class PinBus {
public:
    virtual ~PinBus() = default;

    // The socket's lines on this adapter, and the pins it can drive (the rest are inputs).
    virtual SocketPins socketPins() const = 0;
    virtual uint8_t outputMask() const = 0;

    // Runs the batch; `samples` receives one port byte per sample step. False when an exchange
    // failed (lastStatus says why).
    virtual bool run(const PinBatch& batch, std::vector<uint8_t>& samples) = 0;
    // Leaves the pins as the adapter's SPI and I2C engines expect them.
    virtual bool release() = 0;

    // Waits with the pins as they are, in the adapter's time (the emulator scales it), and that
    // time: how long a chip has been busy is measured in it.
    virtual void pause(std::chrono::microseconds duration) = 0;
    virtual std::chrono::nanoseconds now() const = 0;

    virtual UsbStatus lastStatus() const = 0;
};

} // namespace bus
