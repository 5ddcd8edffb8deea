#pragma once
// How long the real CH347 takes, for the emulated one: USB 2.0 high speed on the host side, the
// SPI clock and the I2C speed on the device side. Only what the physics fixes is counted: the
// adapter's firmware time per command is not known and counts as nothing, so the emulated CH347
// is somewhat faster than a real one.
//
// As with the CH341A's PaceModel: Fast moves the emulated clock only by the adapter's own time;
// RealAdapter moves a virtual clock by every cost (and, with realTime, sleeps to keep up with it).

#include "adapter/emulator/PaceModel.h"

#include <chrono>
#include <cstddef>
#include <cstdint>

class HighSpeedPace {
public:
    using Time = std::chrono::nanoseconds;

    // USB 2.0, 5.8.4 and table 5-10: a microframe lasts 125 us and carries at most 13 bulk packets
    // of 512 bytes; a host that must see a completion before going on waits for the next one.
    static constexpr Time Microframe = std::chrono::microseconds(125);
    static constexpr int PacketsPerMicroframe = 13;
    // The adapter's reply buffers: assumed two, as on the CH341A. The host keeps its IN requests
    // queued ahead of the data, so the figure only matters to a host that does not.
    static constexpr std::size_t MaxUnreadReplies = 2;

    explicit HighSpeedPace(AdapterPace pace = AdapterPace::Fast, bool realTime = false) : base_(pace, realTime) {}

    bool timed() const { return base_.timed(); }
    // Bus time of one packet, OUT or IN.
    Time packetTime() const { return timed() ? Microframe / PacketsPerMicroframe : Time(0); }
    // SPI bytes at `hertz`: eight clocks each, back to back.
    static Time spiBytes(std::size_t count, uint32_t hertz)
    {
        return Time(static_cast<int64_t>(count) * 8 * 1'000'000'000LL / hertz);
    }
    Time i2cBytes(std::size_t count, uint8_t speed) const { return base_.i2cBytes(count, speed); }
    Time i2cConditions(std::size_t count, uint8_t speed) const { return base_.i2cConditions(count, speed); }
    Time seenByHost(Time submitted, Time done) const
    {
        if (!timed()) return done;
        return std::max(done, (submitted / Microframe + 1) * Microframe);
    }
    Time resubmitted(Time completed) const { return timed() ? (completed / Microframe + 1) * Microframe : completed; }
    Time realElapsed() const { return base_.realElapsed(); }
    void keepPace(Time virtualNow) const { base_.keepPace(virtualNow); }

private:
    PaceModel base_; // real-time pacing and the I2C bus times, as on the CH341A
};
