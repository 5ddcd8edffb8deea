#include "adapter/ch347/Ch347SpiMaster.h"

#include "adapter/ch347/Ch347Protocol.h"

#include <algorithm>

using namespace ch347;

namespace {
// A gap that more dummy bytes than one write block would cover is waited out on the host.
constexpr std::size_t MaxGapBytes = MaxPayload;
constexpr uint8_t StatusOk = 0x00;
} // namespace

std::vector<uint32_t> Ch347SpiMaster::clocks() const
{
    std::vector<uint32_t> hertz;
    for (int index = 0; index < ClockCount; ++index) hertz.push_back(ClockOfIndex(index));
    return hertz;
}

uint32_t Ch347SpiMaster::clock() const
{
    return ClockOfIndex(clockIndex_);
}

bool Ch347SpiMaster::setClock(uint32_t hertz)
{
    int index = 0;
    while (index < ClockCount && ClockOfIndex(index) != hertz) ++index;
    if (index == ClockCount) return fail(UsbStatus::InvalidArgument);
    clockIndex_ = index;
    return !configured_ || configure();
}

bool Ch347SpiMaster::fail(UsbStatus status)
{
    status_ = status;
    return false;
}

bool Ch347SpiMaster::configure()
{
    configured_ = false;
    Exchange& exchange = scratch_;
    exchange = Exchange{};
    const auto config = EncodeConfig(Mode0Config(clockIndex_));
    addFrame(exchange, CmdSpiConfigure, config);
    addReply(exchange, {CmdSpiConfigure, 1, 0, 0, 0});
    addChipSelect(exchange, false);
    exchange.in.resize(exchange.inSizes.front());
    std::size_t received = 0;
    if (!submit(exchange)) return false;
    const UsbStatus status = transport_.collect(exchange.ticket, received);
    if (status != UsbStatus::Ok) return fail(status);
    if (!deliver(exchange, received)) return false;
    configured_ = true;
    return true;
}

void Ch347SpiMaster::addFrame(Exchange& exchange, uint8_t command, std::span<const uint8_t> payload,
                              std::size_t padding)
{
    const std::size_t start = exchange.out.size();
    exchange.out.resize(start + HeaderSize);
    PutHeader(exchange.out.data() + start, command, payload.size() + padding);
    exchange.out.insert(exchange.out.end(), payload.begin(), payload.end());
    exchange.out.insert(exchange.out.end(), padding, 0x00);
    exchange.ends.push_back(exchange.out.size());
}

void Ch347SpiMaster::addChipSelect(Exchange& exchange, bool asserted)
{
    std::array<uint8_t, ChipSelectPayload> entries{};
    entries[0] = asserted ? ChipSelectApply : uint8_t(ChipSelectApply | ChipSelectHigh);
    addFrame(exchange, CmdChipSelect, entries);
}

void Ch347SpiMaster::addReply(Exchange& exchange, Reply reply)
{
    exchange.replies.push_back(reply);
    exchange.inSizes.push_back(static_cast<uint16_t>(HeaderSize + reply.payload));
}

std::size_t Ch347SpiMaster::gapBytes(std::chrono::nanoseconds gap) const
{
    if (gap.count() <= 0) return 0;
    const int64_t nanoseconds = std::min<int64_t>(gap.count(), 1'000'000'000);
    const int64_t bits = (nanoseconds * int64_t(clock()) + 999'999'999) / 1'000'000'000;
    return static_cast<std::size_t>((bits + 7) / 8);
}

bool Ch347SpiMaster::layOut(Exchange& exchange, std::span<const bus::SpiFrame> frames, std::size_t gapBytes)
{
    const bool valid = !frames.empty() && std::all_of(frames.begin(), frames.end(), [](const bus::SpiFrame& f) {
        const std::size_t length = f.out.size() + f.in.size();
        return length > 0 && length <= LargestFrame;
    });
    if (!valid) return fail(UsbStatus::InvalidArgument);
    exchange.ticket = 0;
    exchange.out.clear();
    exchange.ends.clear();
    exchange.inSizes.clear();
    exchange.replies.clear();
    exchange.ins.clear();
    static constexpr std::array<uint8_t, MaxPayload> dummies{};
    for (std::size_t f = 0; f < frames.size(); ++f) {
        const bus::SpiFrame& frame = frames[f];
        if (f > 0 && gapBytes > 0) {
            // Clocked with chip select high, the chip ignores them: they only keep it deselected.
            addFrame(exchange, CmdSpiWrite, std::span(dummies).first(gapBytes));
            addReply(exchange, {CmdSpiWrite, 1, 0, 0, 0});
        }
        addChipSelect(exchange, true);
        const std::size_t length = frame.out.size() + frame.in.size();
        if (!frame.in.empty() && length <= MaxPayload) {
            addFrame(exchange, CmdSpiDuplex, frame.out, frame.in.size());
            addReply(exchange, {CmdSpiDuplex, uint16_t(length), f, frame.out.size(), 0});
        } else {
            for (std::size_t at = 0; at < frame.out.size(); at += MaxPayload) {
                addFrame(exchange, CmdSpiWrite, frame.out.subspan(at, std::min(MaxPayload, frame.out.size() - at)));
                addReply(exchange, {CmdSpiWrite, 1, 0, 0, 0});
            }
            if (!frame.in.empty()) {
                const auto count = static_cast<uint32_t>(frame.in.size());
                const uint8_t countBytes[4] = {uint8_t(count), uint8_t(count >> 8), uint8_t(count >> 16),
                                               uint8_t(count >> 24)};
                addFrame(exchange, CmdSpiRead, countBytes);
                for (std::size_t at = 0; at < frame.in.size(); at += MaxPayload)
                    addReply(exchange, {CmdSpiRead, uint16_t(std::min(MaxPayload, frame.in.size() - at)), f, 0, at});
            }
        }
        addChipSelect(exchange, false);
        exchange.ins.push_back(frame.in);
    }
    std::size_t replyBytes = 0;
    for (uint16_t size : exchange.inSizes) replyBytes += size;
    exchange.in.resize(replyBytes);
    return true;
}

bool Ch347SpiMaster::submit(Exchange& exchange)
{
    // One command frame per OUT transfer.
    exchange.transfers.clear();
    std::size_t begin = 0;
    for (std::size_t end : exchange.ends) {
        exchange.transfers.emplace_back(exchange.out.data() + begin, end - begin);
        begin = end;
    }
    const UsbStatus status = transport_.submit(exchange.transfers, exchange.inSizes, exchange.in, exchange.ticket);
    status_ = status;
    return status == UsbStatus::Ok;
}

bool Ch347SpiMaster::deliver(const Exchange& exchange, std::size_t received)
{
    if (received != exchange.in.size()) return fail(UsbStatus::ShortReply);
    std::size_t at = 0;
    for (const Reply& reply : exchange.replies) {
        const uint8_t* frame = exchange.in.data() + at;
        const bool framed =
            frame[0] == reply.command && PayloadLength({frame, HeaderSize + reply.payload}) == reply.payload;
        // A write block and the configuration answer with a status byte; the rest with data.
        const bool status = reply.command == CmdSpiWrite || reply.command == CmdSpiConfigure;
        if (!framed || (status && frame[HeaderSize] != StatusOk)) return fail(UsbStatus::Failed);
        at += HeaderSize + reply.payload;
    }
    at = 0;
    for (const Reply& reply : exchange.replies) {
        if (reply.command == CmdSpiDuplex || reply.command == CmdSpiRead) {
            const uint8_t* payload = exchange.in.data() + at + HeaderSize + reply.skip;
            std::copy_n(payload, reply.payload - reply.skip,
                        exchange.ins[reply.frame].begin() + std::ptrdiff_t(reply.inOffset));
        }
        at += HeaderSize + reply.payload;
    }
    status_ = UsbStatus::Ok;
    return true;
}

bool Ch347SpiMaster::transfer(std::span<const bus::SpiFrame> frames, std::chrono::nanoseconds gap)
{
    if (!configured_ && !configure()) return false;
    const std::size_t dummies = frames.size() > 1 ? gapBytes(gap) : 0;
    if (dummies > MaxGapBytes) {
        // Longer than a write block of dummy bytes lasts: one exchange per frame, the host waits.
        for (std::size_t f = 0; f < frames.size(); ++f) {
            if (f > 0) pause(std::chrono::ceil<std::chrono::microseconds>(gap));
            if (!transfer(frames.subspan(f, 1))) return false;
        }
        return true;
    }
    if (!layOut(scratch_, frames, dummies) || !submit(scratch_)) return false;
    std::size_t received = 0;
    const UsbStatus status = transport_.collect(scratch_.ticket, received);
    if (status != UsbStatus::Ok) return fail(status);
    return deliver(scratch_, received);
}

bus::SpiTicket Ch347SpiMaster::queue(std::span<const bus::SpiFrame> frames)
{
    if (!configured_ && !configure()) return 0;
    Exchange& exchange = queued_.emplace_back();
    if (!layOut(exchange, frames, 0) || !submit(exchange)) {
        queued_.pop_back();
        return 0;
    }
    return exchange.ticket;
}

bool Ch347SpiMaster::collect(bus::SpiTicket ticket)
{
    const auto found =
        std::find_if(queued_.begin(), queued_.end(), [ticket](const Exchange& e) { return e.ticket == ticket; });
    if (ticket == 0 || found == queued_.end()) return fail(UsbStatus::InvalidArgument);
    std::size_t received = 0;
    const UsbStatus status = transport_.collect(ticket, received);
    const bool ok = status == UsbStatus::Ok ? deliver(*found, received) : fail(status);
    queued_.erase(found);
    return ok;
}
