// Checksums, Intel HEX and compare over a 32 MiB chip image.
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "buffer/Crc.h"
#include "buffer/DiffList.h"
#include "buffer/IntelHexReader.h"
#include "buffer/IntelHexWriter.h"

namespace {

constexpr std::size_t kImage = 32 << 20;

const std::vector<std::uint8_t>& Image()
{
    static const std::vector<std::uint8_t> image = [] {
        std::vector<std::uint8_t> bytes(kImage);
        std::mt19937_64 random(1);
        for (std::size_t i = 0; i < bytes.size(); i += 8) {
            const std::uint64_t v = random();
            std::memcpy(bytes.data() + i, &v, 8);
        }
        return bytes;
    }();
    return image;
}

void Crc16(benchmark::State& state)
{
    for (auto _ : state) benchmark::DoNotOptimize(CRC16(Image()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kImage));
}
BENCHMARK(Crc16)->Unit(benchmark::kMillisecond);

void Crc32(benchmark::State& state)
{
    for (auto _ : state) benchmark::DoNotOptimize(CRC32(Image()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kImage));
}
BENCHMARK(Crc32)->Unit(benchmark::kMillisecond);

void HexWrite(benchmark::State& state)
{
    std::size_t textSize = 0;
    for (auto _ : state) {
        textSize = 0;
        WriteHex(Image(), [&textSize](std::string_view block) {
            benchmark::DoNotOptimize(block.data());
            textSize += block.size();
            return true;
        });
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kImage));
    state.counters["text_MiB"] = static_cast<double>(textSize) / (1 << 20);
}
BENCHMARK(HexWrite)->Unit(benchmark::kMillisecond);

void HexRead(benchmark::State& state)
{
    const std::string text = HexText(Image());
    std::vector<std::uint8_t> destination(kHexImageSize + (1 << 20));
    for (auto _ : state) benchmark::DoNotOptimize(ReadHex(text, destination).bytesCopied);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kImage));
}
BENCHMARK(HexRead)->Unit(benchmark::kMillisecond);

// Arg: one difference every N bytes (0: none).
void Compare(benchmark::State& state)
{
    std::vector<std::uint8_t> device = Image();
    const auto every = static_cast<std::size_t>(state.range(0));
    if (every != 0)
        for (std::size_t i = 0; i < device.size(); i += every) device[i] ^= 0x01;
    DiffList list;
    for (auto _ : state) {
        list.Build(Image(), device);
        benchmark::DoNotOptimize(list.size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kImage));
    state.counters["differences"] = static_cast<double>(list.size());
}
BENCHMARK(Compare)->Arg(0)->Arg(1 << 20)->Arg(16)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
