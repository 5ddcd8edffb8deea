#include "i2c/IICWriteThread.h"

#include "adapter/Uch_i2c.h"
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
        if (!IICStart(library, AdapterIndex) || !IICSendAddress(library, pageStart, params.type, deviceBase)) {
            context.fault(static_cast<int32_t>(pageStart));
            return;
        }
        for (; address < pageEnd; ++address)
            if (!IICWriteByte(library, AdapterIndex, params.buffer[address])) {
                context.fault(static_cast<int32_t>(address));
                return;
            }
        if (!IICStop(library, AdapterIndex)) {
            context.fault(static_cast<int32_t>(pageStart));
            return;
        }
        if (!library.CH341SetDelaymS(AdapterIndex, IICWriteCycleMs)) {
            context.fault(static_cast<int32_t>(address));
            return;
        }
        context.step();
    }
    context.finishTimed(WriteFinished);
}
