#include "i2c/IICWriteThread.h"

#include "i2c/IICAddressing.h"
#include "i2c/SlaveAddress.h"

#include <algorithm>

void IICWriteThread(Ch341Library& library, const WorkerParams& params, WorkerContext& context)
{
    if (params.pageSize == 0 || (params.size > 0 && params.buffer == nullptr)) {
        context.fault(0);
        return;
    }
    const auto fixedBase = DeviceAddressOverride(params.chipText);
    context.startClock();
    uint32_t address = 0;
    while (address < params.size) {
        if (context.cancelRequested()) {
            context.finish(WriteCancelled);
            return;
        }
        const uint32_t pageStart = address;
        const uint32_t pageEnd = pageStart + std::min<uint32_t>(params.pageSize, params.size - pageStart);
        const uint8_t deviceBase = fixedBase.value_or(SlaveAddress.load(std::memory_order_relaxed));
        // The page with every byte's acknowledgement, then ACK polling of the write cycle. The
        // fault names the page for its address phase or a failed exchange, the refused byte, or
        // the next page when the write cycle does not end.
        const AddressPhase phase = AddressPhaseOf(pageStart, params.type, deviceBase);
        std::size_t acknowledged = 0;
        if (phase.length == 0 ||
            !library.CH341I2cPageWrite(AdapterIndex, phase.view(), {params.buffer + pageStart, pageEnd - pageStart},
                                       acknowledged)) {
            const std::size_t data = acknowledged > phase.length ? acknowledged - phase.length : 0;
            context.fault(static_cast<int32_t>(acknowledged < phase.length ? pageStart : pageStart + data));
            return;
        }
        address = pageEnd;
        context.step();
    }
    context.finishTimed(WriteFinished);
}
