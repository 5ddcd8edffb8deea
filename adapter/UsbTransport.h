#pragma once
// A link to one CH341A that moves bulk packets of at most 32 bytes. Implemented by the libusb
// transport (real adapter), the emulated CH341A and the fault-injecting decorator.

#include "adapter/UsbStatus.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

// Hot-plug events as the library's notification reports them.
inline constexpr int AdapterEventRemoved = 0;
inline constexpr int AdapterEventRemovePending = 1;
inline constexpr int AdapterEventArrived = 3;

using AdapterEventHandler = std::function<void(int event)>;

struct UsbCounters {
    uint64_t outPackets = 0;
    uint64_t inPackets = 0;
    uint64_t roundTrips = 0;  // synchronous exchanges: each one waits for the adapter once
};

class UsbTransport {
public:
    virtual ~UsbTransport() = default;

    virtual UsbStatus open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // One synchronous exchange. `out` holds bulk OUT transfers, sent in order; each goes out as
    // 32-byte packets (its last one may be short, which ends that transfer), so every 32-byte
    // step of a transfer starts a new segment. Implementations may keep several transfers in
    // flight. Then one IN packet is collected for each entry of `inSizes` (the largest reply
    // expected from that packet, at most 32), their bytes concatenated into `in`; `received`
    // is the number of reply bytes stored. Counts packets and one round trip.
    UsbStatus exchange(std::span<const std::span<const uint8_t>> out,
                       std::span<const uint8_t> inSizes, std::span<uint8_t> in, std::size_t& received);
    // The same with a single OUT transfer.
    UsbStatus exchange(std::span<const uint8_t> out, std::span<const uint8_t> inSizes,
                       std::span<uint8_t> in, std::size_t& received);

    // Waits on the host; the emulator scales the wait with its clock.
    virtual void pause(std::chrono::microseconds duration);

    // Hot-plug events; may be called on any thread. An empty handler stops the reports.
    virtual void setEventHandler(AdapterEventHandler handler) = 0;

    const UsbCounters& counters() const { return counters_; }
    void resetCounters() { counters_ = {}; }

protected:
    virtual UsbStatus doExchange(std::span<const std::span<const uint8_t>> out,
                                 std::span<const uint8_t> inSizes, std::span<uint8_t> in,
                                 std::size_t& received) = 0;

private:
    UsbCounters counters_;
};
