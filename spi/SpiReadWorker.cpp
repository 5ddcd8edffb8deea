#include "spi/SpiWorkers.h"

#include "adapter/Uch_spi.h"
#include "chipdb/ChipKind.h"

#include <initializer_list>

namespace {

bool Command(Ch341Library& library, std::initializer_list<uint8_t> bytes)
{
    uint8_t frame[2];
    std::copy(bytes.begin(), bytes.end(), frame);
    return library.CH341StreamSPI4(AdapterIndex, SpiChipSelect0, std::span<uint8_t>(frame, bytes.size()));
}

// 4-byte addressing before a whole-chip read: B7 for mode 4; for mode 5 B9, then 17 80, which
// set the bank register's EXTADD bit on S25FL-S parts. Every other maker of such chips defines
// B9 as deep power-down, so AB then wakes the chip (on S25FL-S it is a harmless signature read)
// and the read waits the release time (at most tens of microseconds) before the first frame.
bool PrepareRead(Ch341Library& library, SpiAddressMode mode)
{
    if (mode == SpiAddress4Mode) return Command(library, {0xB7});
    if (mode == SpiAddress4Opcode)
        return Command(library, {0xB9}) && Command(library, {0x17, 0x80}) && Command(library, {0xAB}) &&
               library.CH341SetDelaymS(AdapterIndex, 1);
    return true;
}

} // namespace

void SPIReadThread(Ch341Library& library, const WorkerParams& params, WorkerContext& context)
{
    if (params.size == 0 || params.buffer == nullptr) return context.finish(ReadCancelled);
    const std::span<uint8_t> image(params.buffer, params.size);
    const uint32_t chunk = SpiReadChunk(params.size);
    const uint32_t chunks = params.size / chunk;
    const auto mode = chipdb::spiAddressModeOf(params.chipText);

    if (!library.CH341SetStream(AdapterIndex, SpiStreamTransfer) || !PrepareRead(library, mode))
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
