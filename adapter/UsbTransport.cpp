#include "adapter/UsbTransport.h"

#include "adapter/ch341a/Ch341Protocol.h"

#include <algorithm>
#include <numeric>
#include <thread>

UsbTransport::UsbTransport() : profile_(ch341::Profile) {}

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

UsbStatus UsbTransport::exchange(std::span<const std::span<const uint8_t>> out, std::span<const uint16_t> inSizes,
                                 std::span<uint8_t> in, std::size_t& received)
{
    received = 0;
    ExchangeTicket ticket = 0;
    const UsbStatus status = submit(out, inSizes, in, ticket);
    if (status != UsbStatus::Ok) return status;
    return collect(ticket, received);
}

template <class Size>
bool UsbTransport::accept(std::span<const std::span<const uint8_t>> out, std::span<const Size> inSizes,
                          std::size_t room)
{
    const std::size_t wanted = std::accumulate(inSizes.begin(), inSizes.end(), std::size_t{0});
    if (wanted > room) return false;
    const std::size_t packet = profile_.packetSize;
    if (std::any_of(inSizes.begin(), inSizes.end(), [packet](Size size) { return size == 0 || size > packet; }))
        return false;
    const std::size_t largest = profile_.largestOutTransfer;
    if (largest != 0 && std::any_of(out.begin(), out.end(), [largest](auto t) { return t.size() > largest; }))
        return false;
    for (std::span<const uint8_t> transfer : out) counters_.outPackets += (transfer.size() + packet - 1) / packet;
    counters_.inPackets += inSizes.size();
    return true;
}

UsbStatus UsbTransport::submit(std::span<const std::span<const uint8_t>> out, std::span<const uint8_t> inSizes,
                               std::span<uint8_t> in, ExchangeTicket& ticket)
{
    ticket = 0;
    if (!accept(out, inSizes, in.size())) return UsbStatus::InvalidArgument;
    const ExchangeTicket next = lastTicket_ + 1;
    const UsbStatus status = doSubmit(next, out, inSizes, in);
    if (status != UsbStatus::Ok) return status;
    ticket = lastTicket_ = next;
    return status;
}

UsbStatus UsbTransport::submit(std::span<const std::span<const uint8_t>> out, std::span<const uint16_t> inSizes,
                               std::span<uint8_t> in, ExchangeTicket& ticket)
{
    ticket = 0;
    if (!accept(out, inSizes, in.size())) return UsbStatus::InvalidArgument;
    const ExchangeTicket next = lastTicket_ + 1;
    const UsbStatus status = doSubmitWide(next, out, inSizes, in);
    if (status != UsbStatus::Ok) return status;
    ticket = lastTicket_ = next;
    return status;
}

UsbStatus UsbTransport::doSubmitWide(ExchangeTicket ticket, std::span<const std::span<const uint8_t>> out,
                                     std::span<const uint16_t> inSizes, std::span<uint8_t> in)
{
    if (std::any_of(inSizes.begin(), inSizes.end(), [](uint16_t size) { return size > UINT8_MAX; }))
        return UsbStatus::InvalidArgument;
    narrowSizes_.assign(inSizes.begin(), inSizes.end());
    return doSubmit(ticket, out, narrowSizes_, in);
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
