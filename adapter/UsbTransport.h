#pragma once
// A link to one adapter that moves bulk packets: 32 bytes at most on the full-speed CH341A, 512 on
// the high-speed CH347 (the link's UsbDeviceProfile says which). Implemented by the libusb
// transport (real adapters), the emulated adapters and the fault-injecting decorator.

#include "adapter/UsbDeviceProfile.h"
#include "adapter/UsbStatus.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

// Hot-plug events as the library's notification reports them.
inline constexpr int AdapterEventRemoved = 0;
inline constexpr int AdapterEventRemovePending = 1;
inline constexpr int AdapterEventArrived = 3;

using AdapterEventHandler = std::function<void(int event)>;

struct UsbCounters {
    uint64_t outPackets = 0;
    uint64_t inPackets = 0;
    uint64_t roundTrips = 0; // host waits: each collected exchange waits for the adapter once
};

// How long the host waits for a bulk transfer before it gives up (1 s, the usual
// bound for a bulk write; replies get 2 s as in the vendor's Linux driver).
inline constexpr std::chrono::milliseconds HostOutTimeout{1000};
inline constexpr std::chrono::milliseconds HostInTimeout{2000};

// Names a queued exchange until it is collected; 0 is never a ticket.
using ExchangeTicket = uint64_t;

class UsbTransport {
public:
    // A link shaped as the CH341A's.
    UsbTransport();
    explicit UsbTransport(const UsbDeviceProfile& profile) : profile_(profile) {}
    virtual ~UsbTransport() = default;

    const UsbDeviceProfile& profile() const { return profile_; }
    // The part at the other end: the one opened, else the profile's first.
    virtual const UsbModel* model() const { return profile_.models.empty() ? nullptr : &profile_.models.front(); }

    virtual UsbStatus open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // One synchronous exchange. `out` holds bulk OUT transfers, sent in order; each goes out as
    // packets of the profile's packet size (its last one may be short, which ends that transfer),
    // so on the CH341A every 32-byte step of a transfer starts a new segment; a transfer longer
    // than the profile's largest OUT transfer is refused. Implementations may keep several
    // transfers in flight. Then one IN packet is collected for each entry of `inSizes` (the
    // largest reply expected from that packet, at most the packet size), their bytes concatenated
    // into `in`; `received` is the number of reply bytes stored. Counts packets and one round trip.
    UsbStatus exchange(std::span<const std::span<const uint8_t>> out, std::span<const uint8_t> inSizes,
                       std::span<uint8_t> in, std::size_t& received);
    // The same with a single OUT transfer.
    UsbStatus exchange(std::span<const uint8_t> out, std::span<const uint8_t> inSizes, std::span<uint8_t> in,
                       std::size_t& received);
    // The same with replies larger than 255 bytes (high-speed packets).
    UsbStatus exchange(std::span<const std::span<const uint8_t>> out, std::span<const uint16_t> inSizes,
                       std::span<uint8_t> in, std::size_t& received);

    // The exchange in two halves, so the adapter can work on one while the host still waits for
    // the one before: submit queues it (the OUT bytes are copied; `in` must stay valid until it
    // is collected) and returns at once; collect waits for it. Exchanges run in the order they
    // were submitted and each is collected once; after a failed one, those queued behind it fail
    // too. A submit that fails is not to be collected.
    UsbStatus submit(std::span<const std::span<const uint8_t>> out, std::span<const uint8_t> inSizes,
                     std::span<uint8_t> in, ExchangeTicket& ticket);
    UsbStatus submit(std::span<const std::span<const uint8_t>> out, std::span<const uint16_t> inSizes,
                     std::span<uint8_t> in, ExchangeTicket& ticket);
    UsbStatus collect(ExchangeTicket ticket, std::size_t& received);

    // Waits on the host; the emulator scales the wait with its clock.
    virtual void pause(std::chrono::microseconds duration);
    // The adapter's time: real time for a real adapter, the emulator's clock for the emulated one,
    // so that a bound on a chip's busy time means the same on both.
    virtual std::chrono::nanoseconds now() const;

    // Hot-plug events; may be called on any thread. An empty handler stops the reports.
    virtual void setEventHandler(AdapterEventHandler handler) = 0;

    const UsbCounters& counters() const { return counters_; }
    void resetCounters() { counters_ = {}; }

protected:
    // Arguments already checked; `ticket` is new and increasing.
    virtual UsbStatus doSubmit(ExchangeTicket ticket, std::span<const std::span<const uint8_t>> out,
                               std::span<const uint8_t> inSizes, std::span<uint8_t> in) = 0;
    // The submission with 16-bit reply sizes. A link of small packets need not override it: it
    // passes sizes that fit a byte on to doSubmit and refuses larger ones.
    virtual UsbStatus doSubmitWide(ExchangeTicket ticket, std::span<const std::span<const uint8_t>> out,
                                   std::span<const uint16_t> inSizes, std::span<uint8_t> in);
    virtual UsbStatus doCollect(ExchangeTicket ticket, std::size_t& received) = 0;

private:
    // Checks the sizes and counts the packets of a submission; false for an invalid one.
    template <class Size>
    bool accept(std::span<const std::span<const uint8_t>> out, std::span<const Size> inSizes, std::size_t room);

    UsbDeviceProfile profile_;
    UsbCounters counters_;
    ExchangeTicket lastTicket_ = 0;
    std::vector<uint8_t> narrowSizes_;
};
