#include "adapter/emulator/EmuClock.h"

EmuClock::EmuClock(double scale, Kind kind)
    : origin_(std::chrono::steady_clock::now()), scale_(scale > 0 ? scale : 1.0), kind_(kind)
{
}

EmuClock::Duration EmuClock::now() const
{
    if (kind_ == Kind::Virtual) return Duration(offset_.load());
    const auto real = std::chrono::steady_clock::now() - origin_;
    return Duration(static_cast<Duration::rep>(std::chrono::duration<double, std::nano>(real).count() * scale_) +
                    offset_.load());
}

EmuClock::Duration EmuClock::toReal(Duration emulated) const
{
    if (kind_ == Kind::Virtual) return Duration(0);
    return Duration(static_cast<Duration::rep>(static_cast<double>(emulated.count()) / scale_));
}

void EmuClock::advanceTo(Duration at)
{
    auto current = offset_.load();
    while (current < at.count() && !offset_.compare_exchange_weak(current, at.count())) {}
}
