#include "adapter/emulator/EmuClock.h"

EmuClock::EmuClock(double scale) : origin_(std::chrono::steady_clock::now()), scale_(scale > 0 ? scale : 1.0) {}

EmuClock::Duration EmuClock::now() const
{
    const auto real = std::chrono::steady_clock::now() - origin_;
    return Duration(static_cast<Duration::rep>(std::chrono::duration<double, std::nano>(real).count() * scale_));
}

EmuClock::Duration EmuClock::toReal(Duration emulated) const
{
    return Duration(static_cast<Duration::rep>(static_cast<double>(emulated.count()) / scale_));
}
