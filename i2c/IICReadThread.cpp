#include "i2c/IICReadThread.h"

#include "i2c/IICAddressing.h"
#include "i2c/SlaveAddress.h"

#include <algorithm>
#include <array>

namespace {

// Start, address phase, repeated start, read device byte, 32 bytes, stop: one exchange.
bool readBlock(Ch341Library& library, uint32_t address, uint8_t type, uint8_t deviceBase,
               std::array<uint8_t, IICReadBlock>& block)
{
    const AddressPhase phase = AddressPhaseOf(address, type, deviceBase);
    return phase.length > 0 && library.CH341I2cRandomRead(AdapterIndex, phase.view(), phase.readDeviceByte(), block);
}

} // namespace

void IICReadThread(Ch341Library& library, const WorkerParams& params, WorkerContext& context)
{
    const uint32_t blocks = params.size / IICReadBlock;
    if (blocks > 0 && params.buffer == nullptr) {
        context.fault(0);
        return;
    }
    const auto fixedBase = DeviceAddressOverride(params.chipText);
    context.startClock();
    std::array<uint8_t, IICReadBlock> block;
    for (uint32_t i = 0; i < blocks; ++i) {
        if (context.cancelRequested()) {
            context.finish(ReadCancelled);
            return;
        }
        const uint32_t address = i * IICReadBlock;
        const uint8_t deviceBase = fixedBase.value_or(SlaveAddress.load(std::memory_order_relaxed));
        if (!readBlock(library, address, params.type, deviceBase, block)) {
            context.fault(static_cast<int32_t>(address));
            return;
        }
        std::copy(block.begin(), block.end(), params.buffer + address);
        context.step();
    }
    context.finishTimed(ReadFinished);
}
