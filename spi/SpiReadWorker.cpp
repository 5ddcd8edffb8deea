#include "spi/SpiWorkers.h"

#include "adapter/Uch_spi.h"
#include "chipdb/ChipKind.h"
#include "spi/SpiRangeAccess.h"

void SPIReadThread(Ch341Library& library, const WorkerParams& params, WorkerContext& context)
{
    if (params.size == 0 || params.buffer == nullptr) return context.finish(ReadCancelled);
    const std::span<uint8_t> image(params.buffer, params.size);
    const uint32_t chunk = SpiReadChunk(params.size);
    const uint32_t chunks = params.size / chunk;
    const auto mode = chipdb::spiAddressModeOf(params.chipText);

    if (!library.CH341SetStream(AdapterIndex, SpiStreamTransfer) || !SPIPrepareRead(library, mode))
        return context.fault(0);
    context.startClock();
    SpiBlockReader reader(library, mode, chunk, chunks * chunk);
    for (uint32_t i = 0; i < chunks; ++i) {
        if (context.cancelRequested()) return context.finish(ReadCancelled);
        const uint32_t address = i * chunk;
        if (!reader.read(address, image.subspan(address, chunk))) return context.fault(int32_t(address));
        context.step();
    }
    context.finishTimed(ReadFinished);
}
