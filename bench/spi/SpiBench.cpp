// Whole-chip read, page programming and chip erase of emulated 8 MiB and 32 MiB flash chips:
// wall time, and USB packets and round trips per KiB (what the real adapter's latency scales).
#include "adapter/ch341a/Ch341Device.h"
#include "adapter/emulator/EmulatedCh341.h"
#include "spi/SpiWorkers.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

class NullSink : public MessageSink {
public:
    void post(const OpMessage& m) override { last = m; }
    void send(const OpMessage& m) override { last = m; }
    OpMessage last;
};

enum class Operation { Read, Program, Erase };

void RunChip(benchmark::State& state, Operation operation)
{
    const auto size = static_cast<uint32_t>(state.range(0)) << 20;
    const char* kind = size > (16u << 20) ? "ID_SPI25" : "ID_SPI1";
    // Emulated chip time runs a million times faster: the figures are the host's and the
    // emulator's own cost, and the USB traffic the real adapter would carry.
    auto emulator =
        std::make_shared<EmulatedCh341>(*MakeEmulatedChipConfig({"", kind, size, 256, "EF4017", 0, ""}), 1e6);
    Ch341Device device(emulator);
    device.CH341OpenDevice(AdapterIndex);
    std::vector<uint8_t> image(size);
    for (uint32_t i = 0; i < size; ++i) image[i] = static_cast<uint8_t>(i * 31 + 7);
    const WorkerParams params{size, 256, kind, 0, image.data()};
    const WorkerBody body = operation == Operation::Read      ? SpiReadWorker(device)
                            : operation == Operation::Program ? SpiWriteWorker(device)
                                                              : SpiEraseWorker(device);

    NullSink sink;
    WorkerQueue queue;
    emulator->resetCounters();
    for (auto _ : state) {
        WorkerContext context(sink, queue);
        body(params, context);
    }
    const double kib = double(size) / 1024 * double(state.iterations());
    const UsbCounters& counters = emulator->counters();
    state.counters["packets/KiB"] = double(counters.outPackets + counters.inPackets) / kib;
    state.counters["roundtrips/KiB"] = double(counters.roundTrips) / kib;
    state.counters["final"] = sink.last.lParam;
    state.SetBytesProcessed(static_cast<int64_t>(size) * state.iterations());
}

void BM_SpiRead(benchmark::State& state)
{
    RunChip(state, Operation::Read);
}
void BM_SpiProgram(benchmark::State& state)
{
    RunChip(state, Operation::Program);
}
void BM_SpiErase(benchmark::State& state)
{
    RunChip(state, Operation::Erase);
}

} // namespace

BENCHMARK(BM_SpiRead)->Arg(8)->Arg(32)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SpiProgram)->Arg(8)->Arg(32)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SpiErase)->Arg(8)->Arg(32)->Iterations(1)->Unit(benchmark::kMillisecond);
