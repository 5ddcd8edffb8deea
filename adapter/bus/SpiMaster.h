#pragma once
// The SPI side of an adapter, as the chip families use it. A frame is what one chip-select
// period carries: bytes shifted out (opcode, address, dummy bytes, data to program), then bytes
// shifted in. Frames go out back to back in one exchange where the adapter allows it, and can be
// queued so the adapter works on one while the host prepares or collects the next.

#include "adapter/UsbStatus.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace bus {

struct SpiFrame {
    std::span<const uint8_t> out; // shifted out first, most significant bit first
    std::span<uint8_t> in;        // then shifted in while the adapter sends don't-care bytes
};

// Names a queued exchange until it is collected; 0 is never a ticket.
using SpiTicket = uint64_t;

class SpiMaster {
public:
    virtual ~SpiMaster() = default;

    // Frames back to back in one exchange: chip select is active for each frame alone and stays
    // inactive for at least `gap` between two. The `in` spans are written only on success.
    virtual bool transfer(std::span<const SpiFrame> frames, std::chrono::nanoseconds gap = {}) = 0;
    bool transfer(const SpiFrame& frame) { return transfer(std::span<const SpiFrame>(&frame, 1)); }

    // transfer() in two halves: queue copies the out bytes and returns at once (0: nothing was
    // queued); collect waits for that exchange and fills its `in` spans, which must stay valid
    // until then. Exchanges run in the order queued and each is collected once, in that order.
    virtual SpiTicket queue(std::span<const SpiFrame> frames) = 0;
    virtual bool collect(SpiTicket ticket) = 0;

    // The most bytes (out + in) one frame may carry.
    virtual std::size_t largestFrame() const = 0;
    // The clock choices in Hz, fastest first (one entry for an adapter with a fixed clock), the
    // clock in use, and the choice of another (false when the adapter has no such clock).
    virtual std::vector<uint32_t> clocks() const = 0;
    virtual uint32_t clock() const = 0;
    virtual bool setClock(uint32_t hertz) = 0;

    // Waits with the bus idle, in the adapter's time (the emulator scales it), and that time: how
    // long a chip has been busy is measured in it.
    virtual void pause(std::chrono::microseconds duration) = 0;
    virtual std::chrono::nanoseconds now() const = 0;
    // Why the last call failed; UsbStatus::Ok after a success.
    virtual UsbStatus lastStatus() const = 0;
};

} // namespace bus
