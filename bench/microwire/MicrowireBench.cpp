// What a 93Cxx read and write would take on the real CH341A: the family's driver on the emulated
// adapter at the RealAdapter pace, whose virtual clock moves by the adapter's costs (USB frames,
// 0.75 us per pin command) and the chip's write cycle (5 ms), so the reported time is the
// predicted real time (manual time), without sleeping. Targets: a 93C86 read within 1 s, a 93C46
// read within 0.2 s, a whole 93C86 write within 1.3 x words x the write cycle + 1 s.

#include "adapter/ch341a/Ch341Adapter.h"
#include "adapter/emulator/EmulatedCh341.h"
#include "chipdb/Chip.h"
#include "microwire93/Microwire93Driver.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <vector>

namespace {

using Seconds = std::chrono::duration<double>;

enum class Operation { Read, Write };

void WholeChip(benchmark::State& state, const char* kind, uint32_t size, Operation operation)
{
    chipdb::ChipRecord row;
    row.CHIPTEXT = kind;
    row.CHIPID = kind;
    row.CHIPSIZE = size;
    const chipdb::Chip chip = chipdb::ChipFromRecord(row);
    const EmulatedChipConfig config = *MakeEmulatedChipConfig({kind, kind, size, chip.pageSize, "", 0, ""});
    auto emulator = std::make_shared<EmulatedCh341>(config, 1.0, AdapterPace::RealAdapter);
    Ch341Adapter adapter(emulator);
    adapter.open();
    microwire93::Microwire93Driver driver(chip, *adapter.pins());

    std::vector<uint8_t> image(size);
    for (uint32_t i = 0; i < size; ++i) image[i] = uint8_t(i * 31 + (i >> 8) * 7 + 3);
    std::ranges::copy(image, emulator->memory().begin());
    std::vector<uint8_t> buffer(size);
    family::NoProgress progress;
    emulator->resetCounters();
    for (auto _ : state) {
        const Seconds start = emulator->clock().now();
        const family::Result result =
            operation == Operation::Read ? driver.read(0, buffer, progress) : driver.program(0, image, progress);
        state.SetIterationTime((Seconds(emulator->clock().now()) - start).count());
        if (!result || (operation == Operation::Read && buffer != image)) state.SkipWithError("operation failed");
    }
    const double iterations = double(state.iterations());
    const UsbCounters& c = emulator->counters();
    state.counters["exchanges"] = double(c.roundTrips) / iterations;
    state.counters["packets"] = double(c.outPackets + c.inPackets) / iterations;
    const double words = double(size / chip.wordBytes());
    const double target = operation == Operation::Read ? (size > 128 ? 1.0 : 0.2)
                                                       : 1.3 * words * Seconds(config.eepromWriteCycle).count() + 1.0;
    state.counters["target_s"] = target;
    state.SetBytesProcessed(static_cast<int64_t>(iterations * size));
}

BENCHMARK_CAPTURE(WholeChip, 93C86_16_Read, "ID_93C86_16", 2048, Operation::Read)->UseManualTime();
BENCHMARK_CAPTURE(WholeChip, 93C86_8_Read, "ID_93C86_8", 2048, Operation::Read)->UseManualTime();
BENCHMARK_CAPTURE(WholeChip, 93C46_16_Read, "ID_93C46_16", 128, Operation::Read)->UseManualTime();
BENCHMARK_CAPTURE(WholeChip, 93C46_8_Read, "ID_93C46_8", 128, Operation::Read)->UseManualTime();
BENCHMARK_CAPTURE(WholeChip, 93C86_16_Write, "ID_93C86_16", 2048, Operation::Write)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WholeChip, 93C86_8_Write, "ID_93C86_8", 2048, Operation::Write)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
