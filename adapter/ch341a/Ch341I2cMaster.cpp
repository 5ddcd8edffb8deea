#include "adapter/ch341a/Ch341I2cMaster.h"

#include "adapter/ch341a/Ch341Device.h"
#include "adapter/ch341a/Ch341Protocol.h"
#include "adapter/ch341a/I2cSegmentChain.h"

#include <algorithm>

bool Ch341I2cMaster::setSpeed(int index)
{
    if (index < 0 || index > 3) return false;
    speed_ = index;
    return device_.CH341SetStream(AdapterIndex, uint8_t(index));
}

bool Ch341I2cMaster::run(const bus::I2cTransaction& transaction, std::span<bool> acknowledged)
{
    using Kind = bus::I2cTransaction::Kind;
    if (acknowledged.size() < transaction.checkedBytes()) {
        argumentStatus_ = UsbStatus::InvalidArgument;
        return false;
    }
    argumentStatus_ = UsbStatus::Ok;
    // The SPI side leaves its own speed bits behind: every transaction runs at the chosen speed.
    if (!device_.CH341SetStream(AdapterIndex, uint8_t(speed_))) return false;

    I2cSegmentChain chain(out_, inSizes_);
    for (const auto& step : transaction.steps()) {
        switch (step.kind) {
        case Kind::Start: chain.start(); break;
        case Kind::Stop: chain.stop(); break;
        case Kind::Write:
            for (const uint8_t byte : step.out) chain.sendWithStatus(byte);
            break;
        case Kind::WriteUnchecked: chain.send(step.out); break;
        case Kind::Read: chain.receive(step.in.size()); break;
        }
    }
    chain.finish();
    in_.resize(std::max<std::size_t>(chain.replyBytes(), 1));
    if (!device_.exchange(out_, inSizes_, in_, chain.replyBytes())) return false;

    std::size_t at = 0, ack = 0;
    for (const auto& step : transaction.steps()) {
        if (step.kind == Kind::Write)
            for (std::size_t i = 0; i < step.out.size(); ++i)
                acknowledged[ack++] = (in_[at++] & ch341::I2cNackBit) == 0;
        else if (step.kind == Kind::Read) {
            std::copy_n(in_.begin() + std::ptrdiff_t(at), step.in.size(), step.in.begin());
            at += step.in.size();
        }
    }
    return true;
}

std::chrono::nanoseconds Ch341I2cMaster::now() const
{
    return device_.transport().now();
}

UsbStatus Ch341I2cMaster::lastStatus() const
{
    return argumentStatus_ != UsbStatus::Ok ? argumentStatus_ : device_.lastStatus();
}
