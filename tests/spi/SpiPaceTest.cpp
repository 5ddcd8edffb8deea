// The workers on the pace model: the speed a user would see on the real adapter, in virtual time.
#include "SpiFixture.h"

#include "adapter/Uch_spi.h"
#include "adapter/emulator/PaceModel.h"
#include "spi/SpiWorkers.h"

#include <gtest/gtest.h>

namespace {

using Seconds = std::chrono::duration<double>;

struct PacedRun {
    double seconds = 0;
    double hostWaits = 0;
    int32_t last = 0;
    std::vector<uint8_t> chip; // the chip's cells afterwards
};

PacedRun RunPaced(EmulatedChipConfig config, const std::function<WorkerBody(Ch341Library&)>& worker,
                  const WorkerParams& params)
{
    auto emulator = std::make_shared<EmulatedCh341>(std::move(config), 1.0, AdapterPace::RealAdapter);
    Ch341Device device(emulator);
    device.CH341OpenDevice(AdapterIndex);
    const Seconds start = emulator->clock().now();
    WorkerRun run;
    run.run(worker(device), params);
    const auto cells = emulator->memory();
    return {(Seconds(emulator->clock().now()) - start).count(), double(emulator->counters().roundTrips),
            run.last().lParam, std::vector<uint8_t>(cells.begin(), cells.end())};
}

TEST(SpiPace, WorkersKeepTheAdapterBusy)
{
    struct Case {
        const char* name;
        const char* kind;
        std::chrono::microseconds programTime;
        WorkerBody (*worker)(Ch341Library&);
        int32_t finished;
        double minKBps;
        double maxWaitsPerPage;
    };
    const double deviceBound = 1e-3 / std::chrono::duration<double, std::milli>(PaceModel::SpiByte).count();
    const Case cases[] = {
        // Reading is bound by the adapter's SPI clock alone.
        {"read", "ID_SPI1", std::chrono::microseconds(400), SpiReadWorker, ReadFinished, 0.95 * deviceBound, 1},
        // A page and its status reads in one exchange; more reads only for a slower chip, which
        // the next pages' exchanges learn to wait for.
        {"page program", "ID_SPI1", std::chrono::microseconds(400), SpiWriteWorker, WriteFinished, 90e3, 1.25},
        {"slow page program", "ID_SPI1", std::chrono::microseconds(700), SpiWriteWorker, WriteFinished, 80e3, 1.25},
        {"page program, B7 each page", "ID_SPI24", std::chrono::microseconds(400), SpiWriteWorker, WriteFinished, 85e3,
         1.25},
        // 128 words in one exchange: bound by USB packets, three per word.
        {"SST words", "ID_SPI3", std::chrono::microseconds(400), SpiSstWorker, WriteFinished, 11e3, 1.25},
    };
    constexpr uint32_t Size = 64u << 10;
    std::vector<uint8_t> image(Size);
    for (uint32_t i = 0; i < Size; ++i) image[i] = static_cast<uint8_t>(i * 7 + (i >> 8));
    for (const Case& c : cases) {
        EmulatedChipConfig config = SpiChip(c.kind, Size);
        config.pageProgramTime = c.programTime;
        const WorkerParams params{Size, 256, c.kind, 0, image.data()};
        const PacedRun run = RunPaced(config, c.worker, params);
        EXPECT_EQ(run.last, c.finished) << c.name;
        if (c.finished == WriteFinished) {
            EXPECT_EQ(run.chip, image) << c.name;
        }
        EXPECT_GE(Size / run.seconds, c.minKBps) << c.name;
        EXPECT_LE(run.hostWaits / (Size / 256), c.maxWaitsPerPage) << c.name;
    }
}

// The words of an SST block follow each other within one exchange: chip select stays high for the
// word time between them, which the chip sees even when nothing else takes time.
TEST(SpiPace, SstWordsLeaveTheChipItsWordTime)
{
    EmulatedChipConfig config = SpiChip("ID_SPI3", 4096);
    config.aaiWordTime = SpiAaiWordTime;
    EmulatedSpi spi(config, 1.0);
    std::vector<uint8_t> image(4096);
    for (uint32_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 13 + 5);
    WorkerRun run;
    run.run(SpiSstWorker(spi.device), WorkerParams{4096, 256, "ID_SPI3", 0, image.data()});
    EXPECT_EQ(run.last().lParam, WriteFinished);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), spi.emulator->memory().begin()));
}

} // namespace
