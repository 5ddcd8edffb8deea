#include "adapter/FaultyTransport.h"

#include "adapter/Ch341Protocol.h"

FaultyTransport::FaultyTransport(std::shared_ptr<UsbTransport> inner, TransportFault fault, uint64_t afterPackets)
    : inner_(std::move(inner)), fault_(fault), afterPackets_(afterPackets)
{
}

UsbStatus FaultyTransport::doExchange(std::span<const std::span<const uint8_t>> out,
                                      std::span<const uint8_t> inSizes, std::span<uint8_t> in,
                                      std::size_t& received)
{
    uint64_t packets = 0;
    for (std::span<const uint8_t> transfer : out)
        packets += (transfer.size() + ch341::PacketSize - 1) / ch341::PacketSize;
    const bool hit = passed_ + packets > afterPackets_;
    passed_ += packets;
    if (!hit) return inner_->exchange(out, inSizes, in, received);

    switch (fault_) {
    case TransportFault::Timeout: return UsbStatus::Timeout;
    case TransportFault::Drop: return inSizes.empty() ? UsbStatus::Ok : UsbStatus::Timeout;
    case TransportFault::ShortRead: {
        const UsbStatus status = inner_->exchange(out, inSizes, in, received);
        if (received > 0) --received;
        return status;
    }
    }
    return UsbStatus::Failed;
}
