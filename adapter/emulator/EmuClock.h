#pragma once
// Time inside the emulator: real time multiplied by a scale, so a 30-second erase can pass in
// milliseconds (scale 1000 or more) while the host code waits in real time as usual.

#include <chrono>

class EmuClock {
public:
    using Duration = std::chrono::nanoseconds;

    explicit EmuClock(double scale = 1.0);

    // Emulated time since the clock was made.
    Duration now() const;
    // Real time that corresponds to an emulated span.
    Duration toReal(Duration emulated) const;
    double scale() const { return scale_; }

private:
    std::chrono::steady_clock::time_point origin_;
    double scale_;
};
