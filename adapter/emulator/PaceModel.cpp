#include "adapter/emulator/PaceModel.h"

#include <algorithm>
#include <thread>

PaceModel::PaceModel(AdapterPace pace, bool realTime)
    : pace_(pace), realTime_(realTime && pace == AdapterPace::RealAdapter), origin_(std::chrono::steady_clock::now())
{
}

PaceModel::Time PaceModel::packetTime() const
{
    return timed() ? Frame / PacketsPerFrame : Time(0);
}

PaceModel::Time PaceModel::spiBytes(std::size_t count) const
{
    return SpiByte * static_cast<int64_t>(count);
}

PaceModel::Time PaceModel::pinCommands(std::size_t count) const
{
    return PinCommand * static_cast<int64_t>(count);
}

namespace {
PaceModel::Time clocks(int64_t count, uint8_t speed)
{
    const uint32_t hz = PaceModel::I2cClockHz[speed & 3];
    return PaceModel::Time(count * 1'000'000'000LL / hz);
}
} // namespace

PaceModel::Time PaceModel::i2cBytes(std::size_t count, uint8_t speed) const
{
    return clocks(I2cClocksPerByte * static_cast<int64_t>(count), speed);
}

PaceModel::Time PaceModel::i2cConditions(std::size_t count, uint8_t speed) const
{
    return clocks(I2cClocksPerCondition * static_cast<int64_t>(count), speed);
}

PaceModel::Time PaceModel::seenByHost(Time submitted, Time done) const
{
    if (!timed()) return done;
    const Time nextFrame = (submitted / Frame + 1) * Frame;
    return std::max(done, nextFrame);
}

PaceModel::Time PaceModel::resubmitted(Time completed) const
{
    return timed() ? (completed / Frame + 1) * Frame : completed;
}

PaceModel::Time PaceModel::realElapsed() const
{
    return realTime_ ? std::chrono::duration_cast<Time>(std::chrono::steady_clock::now() - origin_) : Time(0);
}

void PaceModel::keepPace(Time virtualNow) const
{
    if (realTime_) std::this_thread::sleep_until(origin_ + virtualNow);
}
