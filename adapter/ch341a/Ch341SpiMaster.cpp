#include "adapter/ch341a/Ch341SpiMaster.h"

#include "adapter/ch341a/Ch341Device.h"
#include "adapter/ch341a/Ch341Protocol.h"

#include <algorithm>

namespace {
// The stream mode of every SPI exchange: most significant bit first. Its speed bits are the
// I2C side's; the I2C master sets its own before each transaction.
constexpr uint8_t SpiStreamMode = ch341::ModeMsbFirst | 0x03;
} // namespace

bool Ch341SpiMaster::layOut(Exchange& exchange, std::span<const bus::SpiFrame> frames)
{
    std::size_t total = 0;
    for (const bus::SpiFrame& frame : frames) {
        const std::size_t length = frame.out.size() + frame.in.size();
        if (length == 0 || length > LargestFrame) {
            argumentStatus_ = UsbStatus::InvalidArgument;
            return false;
        }
        total += length;
    }
    if (frames.empty()) {
        argumentStatus_ = UsbStatus::InvalidArgument;
        return false;
    }
    argumentStatus_ = UsbStatus::Ok;
    exchange.bytes.resize(total);
    exchange.frames.clear();
    exchange.ins.clear();
    std::size_t at = 0;
    for (const bus::SpiFrame& frame : frames) {
        const std::size_t length = frame.out.size() + frame.in.size();
        std::copy(frame.out.begin(), frame.out.end(), exchange.bytes.begin() + std::ptrdiff_t(at));
        std::fill_n(exchange.bytes.begin() + std::ptrdiff_t(at + frame.out.size()), frame.in.size(), 0x00);
        exchange.frames.emplace_back(exchange.bytes.data() + at, length);
        exchange.ins.push_back(frame.in);
        at += length;
    }
    return true;
}

void Ch341SpiMaster::deliver(const Exchange& exchange)
{
    for (std::size_t i = 0; i < exchange.frames.size(); ++i) {
        const std::span<uint8_t> in = exchange.ins[i];
        std::copy(exchange.frames[i].end() - std::ptrdiff_t(in.size()), exchange.frames[i].end(), in.begin());
    }
}

bool Ch341SpiMaster::transfer(std::span<const bus::SpiFrame> frames, std::chrono::nanoseconds gap)
{
    if (!layOut(scratch_, frames)) return false;
    if (!device_.CH341SetStream(AdapterIndex, SpiStreamMode) ||
        !device_.CH341StreamSPI4Chain(AdapterIndex, SpiChipSelect0, scratch_.frames, gap))
        return false;
    deliver(scratch_);
    return true;
}

bus::SpiTicket Ch341SpiMaster::queue(std::span<const bus::SpiFrame> frames)
{
    Exchange& exchange = queued_.emplace_back();
    if (!layOut(exchange, frames) || !device_.CH341SetStream(AdapterIndex, SpiStreamMode)) {
        queued_.pop_back();
        return 0;
    }
    exchange.ticket = device_.CH341StreamSPI4ChainBegin(AdapterIndex, SpiChipSelect0, exchange.frames);
    if (exchange.ticket == 0) {
        queued_.pop_back();
        return 0;
    }
    return exchange.ticket;
}

bool Ch341SpiMaster::collect(bus::SpiTicket ticket)
{
    const auto found =
        std::find_if(queued_.begin(), queued_.end(), [ticket](const Exchange& e) { return e.ticket == ticket; });
    if (ticket == 0 || found == queued_.end()) {
        argumentStatus_ = UsbStatus::InvalidArgument;
        return false;
    }
    const bool ok = device_.CH341StreamSPI4Wait(AdapterIndex, ticket);
    if (ok) deliver(*found);
    queued_.erase(found);
    return ok;
}

void Ch341SpiMaster::pause(std::chrono::microseconds duration)
{
    device_.transport().pause(duration);
}

std::chrono::nanoseconds Ch341SpiMaster::now() const
{
    return device_.transport().now();
}

UsbStatus Ch341SpiMaster::lastStatus() const
{
    return argumentStatus_ != UsbStatus::Ok ? argumentStatus_ : device_.lastStatus();
}
