#pragma once
// Time inside the emulator. Scaled: real time multiplied by a scale, so a 30-second erase can pass
// in milliseconds (scale 1000 or more) while the host code waits in real time as usual. Virtual:
// time stands still until the pace model moves it, so predicted durations need no sleeping.
// Either way the emulator can skip time forward (a host waiting out its timeout).

#include <atomic>
#include <chrono>

class EmuClock {
public:
    using Duration = std::chrono::nanoseconds;
    enum class Kind { Scaled, Virtual };

    explicit EmuClock(double scale = 1.0, Kind kind = Kind::Scaled);

    // Emulated time since the clock was made.
    Duration now() const;
    // Real time that corresponds to an emulated span (a virtual clock: none).
    Duration toReal(Duration emulated) const;
    double scale() const { return scale_; }
    bool isVirtual() const { return kind_ == Kind::Virtual; }

    // Skips emulated time forward.
    void advance(Duration span) { offset_ += span.count(); }
    // Virtual clock: moves it to `at` unless it is already later.
    void advanceTo(Duration at);

private:
    std::chrono::steady_clock::time_point origin_;
    double scale_;
    Kind kind_;
    std::atomic<Duration::rep> offset_{0};
};
