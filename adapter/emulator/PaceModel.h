#pragma once
// How long the real CH341A takes, for the emulated one: USB full-speed frames on the host side,
// the adapter's own speed at each kind of segment on the device side. Every figure the emulator
// times itself by lives here, with where it comes from. The chips' program, erase and write-cycle
// times are theirs (EmulatedChipConfig).
//
// Fast keeps the emulator as quick as the host can go (tests, where time is scaled instead): USB
// costs nothing, and the adapter's own time only moves the emulated clock forward, so chips still
// see the gaps a command sequence leaves them. RealAdapter moves a virtual clock by all of these
// costs, so a run predicts what the real adapter would take without sleeping; with realTime set
// it also sleeps until real time has caught up with the virtual clock, so a person trying the
// program sees the real adapter's pace.

#include "adapter/ch341a/Ch341Protocol.h"

#include <chrono>
#include <cstddef>
#include <cstdint>

enum class AdapterPace { Fast, RealAdapter };

class PaceModel {
public:
    using Time = std::chrono::nanoseconds;

    // USB 2.0, 5.8.4 and table 5-9: a full-speed frame lasts 1 ms and carries at most 19 bulk
    // packets; a host that must see a completion before going on waits at least until the next
    // frame starts.
    static constexpr Time Frame = std::chrono::milliseconds(1);
    static constexpr int PacketsPerFrame = 19;
    // SPI: the adapter clocks about 1.4 MHz with gaps between bytes; 7.4 us per byte (135 KB/s) is
    // calibrated so that a reader keeping 4 KiB commands and 32 IN requests in flight gets the
    // 133 KB/s published for the real adapter (8 MiB read in 63 s).
    static constexpr Time SpiByte = std::chrono::nanoseconds(7400);
    // One pin (UIO) sub-command takes about 0.75 us (published timing of the adapter).
    static constexpr Time PinCommand = ch341::PinCommandTime;
    // I2C: 9 clocks per byte (8 data bits and the acknowledge), one clock for a start or a stop,
    // at the bus speed of the stream mode (20, 100, 400, 750 kHz: WCH).
    static constexpr int I2cClocksPerByte = 9;
    static constexpr int I2cClocksPerCondition = 1;
    static constexpr uint32_t I2cClockHz[4] = {20000, 100000, 400000, 750000};
    // The adapter holds at most two unread reply packets; OUT segments behind them wait.
    static constexpr std::size_t MaxUnreadReplies = 2;

    explicit PaceModel(AdapterPace pace = AdapterPace::Fast, bool realTime = false);

    AdapterPace pace() const { return pace_; }
    bool timed() const { return pace_ == AdapterPace::RealAdapter; }

    // Bus time of one packet, OUT or IN.
    Time packetTime() const;
    // Device time of SPI data bytes, pin sub-commands, I2C bytes and conditions at speed code 0..3.
    Time spiBytes(std::size_t count) const;
    Time pinCommands(std::size_t count) const;
    Time i2cBytes(std::size_t count, uint8_t speed) const;
    Time i2cConditions(std::size_t count, uint8_t speed) const;
    // When the host sees an exchange it submitted at `submitted` and that the adapter finished at
    // `done`.
    Time seenByHost(Time submitted, Time done) const;
    // When an IN request the host resubmits on the completion of another at `completed` is back.
    Time resubmitted(Time completed) const;
    // Real time since the start (realTime pacing; else 0): the virtual clock never runs behind it.
    Time realElapsed() const;
    // Sleeps until real time since the start has reached `virtualNow` (realTime pacing only).
    void keepPace(Time virtualNow) const;

private:
    AdapterPace pace_;
    bool realTime_;
    std::chrono::steady_clock::time_point origin_;
};
