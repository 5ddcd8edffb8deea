// Whole-chip reads and writes of a 24C256 and a 24C1024 on the emulated adapter: the stream
// workers (ACK checking on) against the library's block paths (ACK checking off). The emulated
// clock runs 1000 times fast, so wall time is host and emulator cost, and the round trips are
// counted under that clock (about one ACK poll per page). The real adapter's time of each path is
// predicted by bench/speed.

#include "adapter/ch341a/Ch341Device.h"
#include "adapter/emulator/EmulatedCh341.h"
#include "i2c/IICFastPath.h"
#include "i2c/IICReadThread.h"
#include "i2c/IICWriteThread.h"

#include <benchmark/benchmark.h>

#include <vector>

#include <memory>

namespace {

struct Chip {
    const char* kind;
    uint32_t size;
    uint16_t pageSize;
    uint8_t type;
};
constexpr Chip C24C256{"ID_24C256", 32768, 64, 8};
constexpr Chip C24C1024{"ID_24C1024", 131072, 256, 10};

class CountingSink final : public MessageSink {
public:
    void post(const OpMessage& message) override { last = message; }
    void send(const OpMessage& message) override { last = message; }
    OpMessage last;
};

enum class Path { StreamRead, StreamWrite, FastRead, FastWrite };

void WholeChip(benchmark::State& state, Chip chip, Path path)
{
    auto emulator = std::make_shared<EmulatedCh341>(
        *MakeEmulatedChipConfig({"", chip.kind, chip.size, chip.pageSize, "", 0, ""}), 1000.0);
    Ch341Device device(emulator);
    device.CH341OpenDevice(AdapterIndex);
    std::vector<uint8_t> buffer(chip.size);
    WorkerParams params;
    params.size = chip.size;
    params.pageSize = chip.pageSize;
    params.type = chip.type;
    params.buffer = buffer.data();

    emulator->resetCounters();
    for (auto _ : state) {
        CountingSink sink;
        WorkerQueue queue;
        WorkerContext context(sink, queue);
        bool ok = true;
        switch (path) {
        case Path::StreamRead:
            IICReadThread(device, params, context);
            ok = sink.last.lParam == ReadFinished;
            break;
        case Path::StreamWrite:
            IICWriteThread(device, params, context);
            ok = sink.last.lParam == WriteFinished;
            break;
        case Path::FastRead: ok = IICFastRead(device, chip.type, chip.size, buffer).has_value(); break;
        case Path::FastWrite: ok = IICFastWrite(device, chip.type, chip.size, buffer).has_value(); break;
        }
        if (!ok) state.SkipWithError("operation failed");
    }
    const double iterations = double(state.iterations());
    state.counters["roundTrips"] = double(emulator->counters().roundTrips) / iterations;
    state.counters["outPackets"] = double(emulator->counters().outPackets) / iterations;
    state.SetBytesProcessed(static_cast<int64_t>(iterations * chip.size));
}

BENCHMARK_CAPTURE(WholeChip, 24C256_StreamRead, C24C256, Path::StreamRead);
BENCHMARK_CAPTURE(WholeChip, 24C256_FastRead, C24C256, Path::FastRead);
BENCHMARK_CAPTURE(WholeChip, 24C256_StreamWrite, C24C256, Path::StreamWrite);
BENCHMARK_CAPTURE(WholeChip, 24C256_FastWrite, C24C256, Path::FastWrite);
BENCHMARK_CAPTURE(WholeChip, 24C1024_StreamRead, C24C1024, Path::StreamRead);
BENCHMARK_CAPTURE(WholeChip, 24C1024_FastRead, C24C1024, Path::FastRead);
BENCHMARK_CAPTURE(WholeChip, 24C1024_StreamWrite, C24C1024, Path::StreamWrite);
BENCHMARK_CAPTURE(WholeChip, 24C1024_FastWrite, C24C1024, Path::FastWrite);

} // namespace
