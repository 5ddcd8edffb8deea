// The packed operations of Ch341Library built step by step from the eleven.
#include "adapter/ch341a/Ch341Library.h"

#include "adapter/Uch_i2c.h"

#include <algorithm>

namespace {
// The fixed allowance for a 24xx write cycle where the chip cannot be polled in the same exchange.
constexpr uint32_t WriteCycleWaitMs = 10;
} // namespace

bool Ch341Library::CH341StreamSPI4Chain(uint32_t index, uint32_t chipSelect, std::span<const std::span<uint8_t>> frames,
                                        std::chrono::nanoseconds)
{
    // One exchange per frame leaves chip select inactive far longer than any gap asked for.
    return std::all_of(frames.begin(), frames.end(),
                       [&](std::span<uint8_t> frame) { return CH341StreamSPI4(index, chipSelect, frame); });
}

uint64_t Ch341Library::CH341StreamSPI4Begin(uint32_t index, uint32_t chipSelect, std::span<uint8_t> buffer)
{
    return CH341StreamSPI4(index, chipSelect, buffer) ? 1 : 0;
}

bool Ch341Library::CH341StreamSPI4Wait(uint32_t, uint64_t ticket)
{
    return ticket != 0;
}

bool Ch341Library::CH341I2cRandomRead(uint32_t index, std::span<const uint8_t> addressPhase, uint8_t readDevice,
                                      std::span<uint8_t> data)
{
    if (addressPhase.empty() || data.empty() || data.size() > 32) return false;
    // Every address byte goes out whatever the ones before it got, as a 24xx address phase does.
    if (!IICStart(*this, index)) return false;
    bool acknowledged = true;
    for (const uint8_t byte : addressPhase) acknowledged = IICWriteByte(*this, index, byte) && acknowledged;
    uint8_t block[32];
    const std::size_t acked = data.size() - 1;
    if (!acknowledged || !IICStart(*this, index) || !IICWriteByte(*this, index, readDevice) ||
        (acked > 0 && !IICReadBytes(*this, index, static_cast<uint32_t>(acked), block)) ||
        !IICReadLastByte(*this, index, block[acked]) || !IICStop(*this, index))
        return false;
    std::copy_n(block, data.size(), data.begin());
    return true;
}

bool Ch341Library::CH341I2cPageWrite(uint32_t index, std::span<const uint8_t> addressPhase,
                                     std::span<const uint8_t> data, std::size_t& acknowledged)
{
    acknowledged = 0;
    if (addressPhase.empty() || !IICStart(*this, index)) return false;
    bool phaseAcknowledged = true;
    for (const uint8_t byte : addressPhase) phaseAcknowledged = IICWriteByte(*this, index, byte) && phaseAcknowledged;
    if (!phaseAcknowledged) return false;
    acknowledged = addressPhase.size();
    for (const uint8_t byte : data) {
        if (!IICWriteByte(*this, index, byte)) return false;
        ++acknowledged;
    }
    if (!IICStop(*this, index)) {
        acknowledged = 0;
        return false;
    }
    return CH341SetDelaymS(index, WriteCycleWaitMs);
}
