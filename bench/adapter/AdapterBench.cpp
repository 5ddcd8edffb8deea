// USB cost of the adapter's transfer paths, measured on the emulated CH341A: OUT and IN
// packets and synchronous round trips per KiB (the figures that decide speed on real hardware,
// where a round trip costs about 1 ms), and the emulated throughput. The write paths run with
// 1 ms per exchange, like the real adapter, so their status and ACK polls count as they would
// there; their throughput is then an estimate for real hardware.

#include "adapter/Uch_spi.h"
#include "tests/support/EmulatedAdapter.h"
#include "tests/support/I2cStreamBlock.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

constexpr std::chrono::microseconds UsbRoundTrip{1000};

struct Bench : EmulatedAdapter {
    // Emulated chip time runs as real time; `latency` is the USB round trip.
    explicit Bench(EmulatedChipConfig config, std::chrono::microseconds latency = {})
        : EmulatedAdapter(std::move(config), 1.0)
    {
        emulator->setLogging(false);
        emulator->setRoundTripLatency(latency);
    }

    void report(benchmark::State& state, std::size_t bytesPerIteration)
    {
        const double kib = double(state.iterations()) * double(bytesPerIteration) / 1024.0;
        const UsbCounters& c = emulator->counters();
        state.counters["outPackets/KiB"] = double(c.outPackets) / kib;
        state.counters["inPackets/KiB"] = double(c.inPackets) / kib;
        state.counters["roundTrips/KiB"] = double(c.roundTrips) / kib;
        state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytesPerIteration));
    }
};

EmulatedChipConfig eeprom24C256()
{
    return *MakeEmulatedChipConfig({"24C256", "ID_24C256", 32768, 64, "", 0, ""});
}

void SpiRead2048(benchmark::State& state)
{
    Bench bench(DefaultEmulatedChip());
    bench.device.CH341SetStream(AdapterIndex, SpiStreamTransfer);
    std::vector<uint8_t> block(2048);
    uint32_t address = 0;
    bench.emulator->resetCounters();
    for (auto _ : state) {
        if (!SPIReadBlock(bench.device, address, block, SpiAddress3)) state.SkipWithError("read failed");
        address = (address + 2048) % (8u << 20);
    }
    bench.report(state, block.size());
}
BENCHMARK(SpiRead2048)->UseRealTime();

void SpiProgram256(benchmark::State& state)
{
    Bench bench(DefaultEmulatedChip(), UsbRoundTrip);
    bench.device.CH341SetStream(AdapterIndex, SpiStreamTransfer);
    std::vector<uint8_t> page(256, 0xA5);
    uint32_t address = 0;
    bench.emulator->resetCounters();
    for (auto _ : state) {
        if (!SPIProgramPage(bench.device, address, page, SpiAddress3)) state.SkipWithError("program failed");
        address = (address + 256) % (8u << 20);
    }
    bench.report(state, page.size());
}
BENCHMARK(SpiProgram256)->UseRealTime()->Iterations(64)->Unit(benchmark::kMillisecond);

// The stream path of the I2C read: start, device, two address bytes, repeated start, device,
// 31 bytes, last byte, stop: one exchange each, 32 bytes per round.
void I2cStreamRead(benchmark::State& state)
{
    Bench bench(eeprom24C256());
    uint8_t block[32];
    uint32_t address = 0;
    bench.emulator->resetCounters();
    for (auto _ : state) {
        ReadStreamBlock(bench.device, address, block);
        address = (address + 32) % 32768;
    }
    bench.report(state, sizeof block);
}
BENCHMARK(I2cStreamRead)->UseRealTime();

void I2cFastRead(benchmark::State& state)
{
    Bench bench(eeprom24C256());
    std::vector<uint8_t> buffer(32768);
    bench.emulator->resetCounters();
    for (auto _ : state)
        if (!bench.device.CH341ReadEEPROM(AdapterIndex, 8, 0, buffer)) state.SkipWithError("read failed");
    bench.report(state, buffer.size());
}
BENCHMARK(I2cFastRead)->UseRealTime();

// Real-time write cycles (5 ms per page), so the ACK polls are counted as they happen.
void I2cFastWrite(benchmark::State& state)
{
    Bench bench(eeprom24C256(), UsbRoundTrip);
    std::vector<uint8_t> buffer(4096, 0x5A);
    bench.emulator->resetCounters();
    for (auto _ : state)
        if (!bench.device.CH341WriteEEPROM(AdapterIndex, 8, 0, buffer)) state.SkipWithError("write failed");
    bench.report(state, buffer.size());
}
BENCHMARK(I2cFastWrite)->UseRealTime()->Iterations(2)->Unit(benchmark::kMillisecond);

} // namespace
