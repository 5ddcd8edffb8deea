#include "spi/SpiWorkers.h"

#include "adapter/Uch_spi.h"

void SPIEraseThread(Ch341Library& library, std::chrono::milliseconds limit, WorkerContext& context)
{
    auto command = [&](uint8_t opcode) {
        return library.CH341StreamSPI4(AdapterIndex, SpiChipSelect0, std::span<uint8_t>(&opcode, 1));
    };
    constexpr int32_t EraseFault = -1;
    if (!library.CH341SetStream(AdapterIndex, SpiStreamTransfer) || !command(0x06) || !command(0xC7))
        return context.fault(EraseFault);

    // Each tick waits for the window (about 100 ms), which paces the polls.
    const auto deadline = std::chrono::steady_clock::now() + limit;
    uint8_t status = 0x01;
    while (status & 0x01) {
        if (context.cancelRequested()) return context.finish(EraseCancelled);
        if (std::chrono::steady_clock::now() >= deadline || !SPIReadRegister(library, 0x05, status))
            return context.fault(EraseFault);
        context.eraseTick();
    }
    if (!command(0x04)) return context.fault(EraseFault);
    context.finish(EraseFinished);
}
