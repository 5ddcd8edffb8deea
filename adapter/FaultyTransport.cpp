#include "adapter/FaultyTransport.h"

FaultyTransport::FaultyTransport(std::shared_ptr<UsbTransport> inner, TransportFault fault, uint64_t afterPackets)
    : UsbTransport(inner->profile()), inner_(std::move(inner)), fault_(fault), afterPackets_(afterPackets)
{
}

UsbStatus FaultyTransport::doSubmit(ExchangeTicket ticket, std::span<const std::span<const uint8_t>> out,
                                    std::span<const uint8_t> inSizes, std::span<uint8_t> in)
{
    return pass(ticket, out, inSizes, in);
}

UsbStatus FaultyTransport::doSubmitWide(ExchangeTicket ticket, std::span<const std::span<const uint8_t>> out,
                                        std::span<const uint16_t> inSizes, std::span<uint8_t> in)
{
    return pass(ticket, out, inSizes, in);
}

template <class Size>
UsbStatus FaultyTransport::pass(ExchangeTicket ticket, std::span<const std::span<const uint8_t>> out,
                                std::span<const Size> inSizes, std::span<uint8_t> in)
{
    const std::size_t packetSize = profile().packetSize;
    uint64_t packets = 0;
    for (std::span<const uint8_t> transfer : out) packets += (transfer.size() + packetSize - 1) / packetSize;
    Fate fate;
    fate.hit = passed_ + packets > afterPackets_;
    passed_ += packets;
    if (fate.hit && fault_ == TransportFault::Timeout) {
        fate.decided = UsbStatus::Timeout;
    } else if (fate.hit && fault_ == TransportFault::Drop) {
        fate.decided = inSizes.empty() ? UsbStatus::Ok : UsbStatus::Timeout;
    } else {
        const UsbStatus status = inner_->submit(out, inSizes, in, fate.inner);
        if (status != UsbStatus::Ok) return status;
    }
    fates_[ticket] = fate;
    return UsbStatus::Ok;
}

UsbStatus FaultyTransport::doCollect(ExchangeTicket ticket, std::size_t& received)
{
    const auto found = fates_.find(ticket);
    if (found == fates_.end()) return UsbStatus::InvalidArgument;
    const Fate fate = found->second;
    fates_.erase(found);
    if (fate.inner == 0) return fate.decided;
    const UsbStatus status = inner_->collect(fate.inner, received);
    if (fate.hit && received > 0) --received; // a short read
    return status;
}
