// The CH347 beside the CH341A on a W25Q128JV (16 MiB): the whole chip read with queued 4 KiB READ
// (03) and FAST READ (0B) frames at 60 and 15 MHz, and page programs (write enable, the page and
// status reads in one exchange, as the 25xx family's PageProgrammer sends them), through each
// adapter's bus::SpiMaster. Both emulated adapters run at the real pace on virtual clocks, so the
// times reported (manual time) are what the pace models predict for the real adapters, and a run
// takes seconds. The CH347's model counts USB and SPI only, not the adapter's firmware time.

#include "adapter/ch341a/Ch341Adapter.h"
#include "adapter/ch347/Ch347Adapter.h"
#include "adapter/emulator/EmulatedCh341.h"
#include "adapter/emulator/EmulatedCh347.h"
#include "spi25/SpiProgrammer.h"

#include <benchmark/benchmark.h>

#include <array>
#include <deque>
#include <memory>
#include <vector>

namespace {

using Seconds = std::chrono::duration<double>;

constexpr uint32_t ChipSize = 16u << 20;
constexpr uint32_t Block = 4096;
constexpr std::size_t Queued = 2; // blocks in flight: the next one is queued before the current one is collected
constexpr uint32_t Pages = 1024;

EmulatedChipConfig W25Q128JV()
{
    EmulatedChipConfig config =
        *MakeEmulatedChipConfig({"W25Q128JV", "ID_SPI1", ChipSize, 256, "EF4018", 40, "WINBOND"});
    config.initialStatus = {0, 0, 0};
    return config;
}

// One adapter at the real pace with its chip; the clock tells its virtual time.
struct Rig {
    virtual ~Rig() = default;
    virtual bus::SpiMaster& spi() = 0;
    virtual Seconds now() const = 0;
    virtual std::span<uint8_t> chip() = 0;
    virtual const UsbCounters& counters() const = 0;
};

struct Ch347Rig final : Rig {
    explicit Ch347Rig(uint32_t hertz)
        : emulator(std::make_shared<EmulatedCh347>(W25Q128JV(), 1.0, AdapterPace::RealAdapter)), adapter(emulator)
    {
        adapter.open();
        adapter.spi()->setClock(hertz);
    }
    bus::SpiMaster& spi() override { return *adapter.spi(); }
    Seconds now() const override { return emulator->clock().now(); }
    std::span<uint8_t> chip() override { return emulator->memory(); }
    const UsbCounters& counters() const override { return emulator->counters(); }
    std::shared_ptr<EmulatedCh347> emulator;
    Ch347Adapter adapter;
};

struct Ch341Rig final : Rig {
    Ch341Rig()
        : emulator(std::make_shared<EmulatedCh341>(W25Q128JV(), 1.0, AdapterPace::RealAdapter)), adapter(emulator)
    {
        adapter.open();
    }
    bus::SpiMaster& spi() override { return *adapter.spi(); }
    Seconds now() const override { return emulator->clock().now(); }
    std::span<uint8_t> chip() override { return emulator->memory(); }
    const UsbCounters& counters() const override { return emulator->counters(); }
    std::shared_ptr<EmulatedCh341> emulator;
    Ch341Adapter adapter;
};

// The CH341A has one clock (about 1.5 MHz); it stands for that adapter below.
constexpr uint32_t Ch341aClock = 0;

std::unique_ptr<Rig> MakeRig(uint32_t hertz)
{
    if (hertz == Ch341aClock) return std::make_unique<Ch341Rig>();
    return std::make_unique<Ch347Rig>(hertz);
}

// The whole chip in 4 KiB frames, each queued before the one ahead of it is collected.
bool ReadWhole(bus::SpiMaster& spi, uint8_t opcode, std::vector<uint8_t>& into)
{
    struct Slot {
        std::array<uint8_t, 5> header;
        bus::SpiTicket ticket;
    };
    const std::size_t headerLength = opcode == 0x0B ? 5 : 4;
    std::deque<Slot> slots;
    for (uint32_t address = 0; address < ChipSize || !slots.empty();) {
        if (address < ChipSize && slots.size() < Queued) {
            Slot& slot = slots.emplace_back();
            slot.header = {opcode, uint8_t(address >> 16), uint8_t(address >> 8), uint8_t(address), 0x00};
            const bus::SpiFrame frame{std::span(slot.header).first(headerLength),
                                      std::span(into).subspan(address, Block)};
            slot.ticket = spi.queue(std::span(&frame, 1));
            if (slot.ticket == 0) return false;
            address += Block;
            continue;
        }
        if (!spi.collect(slots.front().ticket)) return false;
        slots.pop_front();
    }
    return true;
}

void Read16MiB(benchmark::State& state, uint32_t hertz, uint8_t opcode)
{
    auto rig = MakeRig(hertz);
    for (uint32_t i = 0; i < ChipSize; ++i) rig->chip()[i] = uint8_t(i * 7 + (i >> 12));
    std::vector<uint8_t> read(ChipSize);
    for (auto _ : state) {
        const Seconds start = rig->now();
        if (!ReadWhole(rig->spi(), opcode, read)) state.SkipWithError("read failed");
        const double seconds = (rig->now() - start).count();
        state.SetIterationTime(seconds);
        state.counters["MB/s"] = ChipSize / seconds / 1e6;
    }
    if (!std::equal(read.begin(), read.end(), rig->chip().begin())) state.SkipWithError("read wrong data");
    const double kib = double(state.iterations()) * ChipSize / 1024.0;
    state.counters["waits/KiB"] = double(rig->counters().roundTrips) / kib;
    state.counters["packets/KiB"] = double(rig->counters().outPackets + rig->counters().inPackets) / kib;
}

void PageProgram(benchmark::State& state, uint32_t hertz)
{
    auto rig = MakeRig(hertz);
    std::vector<uint8_t> page(256);
    for (auto _ : state) {
        spi25::PageProgrammer programmer(rig->spi(), SpiAddress3);
        const Seconds start = rig->now();
        const auto roundTrips = rig->counters().roundTrips;
        for (uint32_t p = 0; p < Pages; ++p) {
            for (std::size_t i = 0; i < page.size(); ++i) page[i] = uint8_t(p + i);
            if (!programmer.program(p * 256, page)) state.SkipWithError("program failed");
        }
        const double seconds = (rig->now() - start).count();
        state.SetIterationTime(seconds);
        state.counters["us/page"] = seconds / Pages * 1e6;
        state.counters["waits/page"] = double(rig->counters().roundTrips - roundTrips) / Pages;
        state.counters["16MiB_s"] = seconds / Pages * (ChipSize / 256);
        std::fill_n(rig->chip().begin(), Pages * 256, 0xFF); // erased again for the next round
    }
}

BENCHMARK_CAPTURE(Read16MiB, CH347_60MHz_03, 60'000'000, 0x03)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(Read16MiB, CH347_60MHz_0B, 60'000'000, 0x0B)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(Read16MiB, CH347_15MHz_03, 15'000'000, 0x03)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(Read16MiB, CH347_15MHz_0B, 15'000'000, 0x0B)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(Read16MiB, CH341A_03, Ch341aClock, 0x03)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(PageProgram, CH347_60MHz, 60'000'000)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PageProgram, CH347_15MHz, 15'000'000)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PageProgram, CH341A, Ch341aClock)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
