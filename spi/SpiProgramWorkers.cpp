#include "spi/SpiWorkers.h"

#include "adapter/Uch_spi.h"
#include "chipdb/ChipKind.h"

#include <optional>

namespace {

// Stops a page programming early, after a cancel or at the address of a failed page: the chip is
// left write-disabled, whatever the frame's result.
void StopWriting(Ch341Library& library, WorkerContext& context, std::optional<uint32_t> failedAt = std::nullopt)
{
    uint8_t writeDisable = 0x04;
    library.CH341StreamSPI4(AdapterIndex, SpiChipSelect0, std::span<uint8_t>(&writeDisable, 1));
    if (failedAt) return context.fault(int32_t(*failedAt));
    context.finish(WriteCancelled);
}

} // namespace

void SPIWriteThread(Ch341Library& library, const WorkerParams& params, WorkerContext& context)
{
    const uint32_t page = params.pageSize;
    if (page == 0 || params.buffer == nullptr) return StopWriting(library, context);
    const std::span<const uint8_t> image(params.buffer, params.size);
    const uint32_t pages = params.size / page;
    const auto mode = chipdb::spiAddressModeOf(params.chipText);

    if (!library.CH341SetStream(AdapterIndex, SpiStreamTransfer)) return StopWriting(library, context, 0);
    context.startClock();
    SpiPagePolls polls;
    for (uint32_t i = 0; i < pages; ++i) {
        if (context.cancelRequested()) return StopWriting(library, context);
        const uint32_t address = i * page;
        if (!SPIProgramPage(library, address, image.subspan(address, page), mode, &polls))
            return StopWriting(library, context, address);
        context.step();
    }
    context.finishTimed(WriteFinished);
}

void SPIWriteSSTThread(Ch341Library& library, const WorkerParams& params, WorkerContext& context)
{
    // Each finished block already ends with a write disable, so an early stop sends nothing.
    if (params.buffer == nullptr) return context.finish(WriteCancelled);
    if (!library.CH341SetStream(AdapterIndex, SpiStreamTransfer)) return context.fault(0);
    const uint32_t blocks = SpiSstSteps(params.size);
    context.startClock();
    for (uint32_t i = 0; i < blocks; ++i) {
        if (context.cancelRequested()) return context.finish(WriteCancelled);
        const uint32_t address = i * SpiAaiBlock;
        if (!SPIProgramAAI(library, address,
                           std::span<const uint8_t, SpiAaiBlock>(params.buffer + address, SpiAaiBlock)))
            return context.fault(int32_t(address));
        context.step();
    }
    context.finishTimed(WriteFinished);
}
