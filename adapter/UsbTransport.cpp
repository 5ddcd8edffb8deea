#include "adapter/UsbTransport.h"

#include "adapter/ch341a/Ch341Protocol.h"

#include <numeric>
#include <thread>

UsbStatus UsbTransport::exchange(std::span<const uint8_t> out, std::span<const uint8_t> inSizes, std::span<uint8_t> in,
                                 std::size_t& received)
{
    const std::span<const uint8_t> transfers[] = {out};
    return exchange(std::span<const std::span<const uint8_t>>(transfers), inSizes, in, received);
}

UsbStatus UsbTransport::exchange(std::span<const std::span<const uint8_t>> out, std::span<const uint8_t> inSizes,
                                 std::span<uint8_t> in, std::size_t& received)
{
    received = 0;
    ExchangeTicket ticket = 0;
    const UsbStatus status = submit(out, inSizes, in, ticket);
    if (status != UsbStatus::Ok) return status;
    return collect(ticket, received);
}

UsbStatus UsbTransport::submit(std::span<const std::span<const uint8_t>> out, std::span<const uint8_t> inSizes,
                               std::span<uint8_t> in, ExchangeTicket& ticket)
{
    ticket = 0;
    const std::size_t wanted = std::accumulate(inSizes.begin(), inSizes.end(), std::size_t{0});
    if (wanted > in.size()) return UsbStatus::InvalidArgument;
    for (uint8_t size : inSizes)
        if (size == 0 || size > ch341::PacketSize) return UsbStatus::InvalidArgument;

    for (std::span<const uint8_t> transfer : out)
        counters_.outPackets += (transfer.size() + ch341::PacketSize - 1) / ch341::PacketSize;
    counters_.inPackets += inSizes.size();
    const ExchangeTicket next = lastTicket_ + 1;
    const UsbStatus status = doSubmit(next, out, inSizes, in);
    if (status != UsbStatus::Ok) return status;
    ticket = lastTicket_ = next;
    return status;
}

UsbStatus UsbTransport::collect(ExchangeTicket ticket, std::size_t& received)
{
    received = 0;
    ++counters_.roundTrips;
    return doCollect(ticket, received);
}

void UsbTransport::pause(std::chrono::microseconds duration)
{
    std::this_thread::sleep_for(duration);
}

std::chrono::nanoseconds UsbTransport::now() const
{
    return std::chrono::steady_clock::now().time_since_epoch();
}
