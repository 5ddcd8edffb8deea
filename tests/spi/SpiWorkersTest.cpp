#include "SpiFixture.h"

#include "adapter/Uch_spi.h"
#include "chipdb/ChipKind.h"
#include "spi/SpiStatus.h"
#include "spi/SpiUnprotect.h"
#include "spi/SpiWorkers.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Frames = std::vector<std::string>;

uint8_t Pattern(uint32_t i, uint8_t seed)
{
    return static_cast<uint8_t>(i * 31 + (i >> 8) + seed);
}

void FillPattern(std::span<uint8_t> bytes, uint8_t seed)
{
    for (uint32_t i = 0; i < bytes.size(); ++i) bytes[i] = Pattern(i, seed);
}

bool Equal(std::span<const uint8_t> a, std::span<const uint8_t> b)
{
    return std::ranges::equal(a, b);
}

bool AllErased(std::span<const uint8_t> bytes)
{
    return std::ranges::all_of(bytes, [](uint8_t b) { return b == 0xFF; });
}

// The chip image the workers read into and program from (the largest chip here is 64 KiB).
std::span<uint8_t> Image()
{
    static std::vector<uint8_t> block(65536);
    return block;
}

WorkerParams Params(uint32_t size, uint16_t page, const char* kind)
{
    return {size, page, kind, 0, Image().data()};
}

// Expected frame at a position (polls left out) by its first bytes.
struct FrameAt {
    std::size_t index;
    std::string prefix;
};

void ExpectFrames(const Frames& frames, const std::vector<FrameAt>& expected)
{
    for (const FrameAt& f : expected) {
        ASSERT_LT(f.index, frames.size());
        EXPECT_EQ(frames[f.index].substr(0, f.prefix.size()), f.prefix) << "frame " << f.index;
    }
}

} // namespace

// Read, erase, blank-check read and program of each kind, with the frames that tell the kinds
// apart.
TEST(SpiWorkers, EveryKindReadsErasesAndPrograms)
{
    struct Case {
        const char* kind;
        uint32_t size;
        uint16_t page;
        bool chipErase; // 25xx EEPROMs have no chip erase
        std::vector<FrameAt> readFrames;
        std::size_t readFrameCount;
        std::vector<FrameAt> programFrames;
        std::size_t programFrameCount;
    } cases[] = {
        {"ID_SPI1",
         65536,
         256,
         true,
         {{0, "03 00 00 00 00"}, {1, "03 00 08 00 00"}},
         32,
         {{0, "06"}, {1, "02 00 00 00 " + BusLog::hex(std::vector<uint8_t>{Pattern(0, 7)})}, {3, "02 00 01 00"}},
         2 * 256},
        {"ID_SPI2",
         8192,
         32,
         false,
         {{0, "03 00 00 00"}, {3, "03 18 00 00"}},
         4,
         {{0, "06"}, {1, "02 00 00"}, {3, "02 00 20"}},
         2 * 256},
        {"ID_SPI22",
         512,
         16,
         false,
         {{0, "03 00 00"}},
         1,
         {{0, "06"}, {1, "02 00"}, {31, "02 F0"}, {33, "0A 00"}, {63, "0A F0"}},
         2 * 32},
        {"ID_SPI24",
         65536,
         256,
         true,
         {{0, "B7"}, {1, "13 00 00 00 00 00"}, {2, "13 00 00 08 00"}},
         33,
         {{0, "06"}, {1, "B7"}, {2, "02 00 00 00 00"}, {5, "02 00 00 01 00"}},
         3 * 256},
        {"ID_SPI25",
         65536,
         256,
         true,
         {{0, "B9"}, {1, "17 80"}, {2, "AB"}, {3, "13 00 00 00 00 00"}},
         35,
         {{0, "06"}, {1, "12 00 00 00 00"}, {3, "12 00 00 01 00"}},
         2 * 256},
        {"ID_SPI3",
         65536,
         64,
         true,
         {{0, "03 00 00 00 00"}},
         32,
         {{0, "06"}, {1, "AD 00 00 00"}, {2, "AD"}, {129, "04"}, {130, "06"}, {131, "AD 00 01 00"}},
         130 * 256},
    };
    const std::span<uint8_t> image = Image();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        EmulatedChipConfig config = SpiChip(c.kind, c.size, c.page);
        EmulatedSpi spi(config);
        const WorkerParams params = Params(c.size, c.page, c.kind);
        auto chip = spi.emulator->memory();
        FillPattern(chip, 3);

        WorkerRun read;
        read.run(SpiReadWorker(spi.device), params);
        EXPECT_TRUE(Equal(image.first(c.size), chip));
        EXPECT_EQ(read.sink.count(ProgressStep), static_cast<int>(SpiReadSteps(c.size)));
        EXPECT_EQ(read.last().lParam, ReadFinished);
        const Frames readFrames = spi.frames();
        EXPECT_EQ(readFrames.size(), c.readFrameCount);
        ExpectFrames(readFrames, c.readFrames);

        if (c.chipErase) {
            WorkerRun erase;
            erase.run(SpiEraseWorker(spi.device), params);
            EXPECT_EQ(erase.last().lParam, EraseFinished);
            EXPECT_GE(erase.sink.count(ProgressEraseTick), 1);
            EXPECT_EQ(spi.framesWithoutPolls(), (Frames{"06", "C7", "04"}));
        } else {
            std::ranges::fill(chip, 0xFF);
        }
        WorkerRun blank;
        blank.run(SpiReadWorker(spi.device), params);
        EXPECT_EQ(blank.last().lParam, ReadFinished);
        EXPECT_TRUE(AllErased(image.first(c.size)));
        spi.frames();

        FillPattern(image.first(c.size), 7);
        const bool sst = chipdb::spiProgrammingOf(c.kind) == chipdb::SpiProgramming::AutoIncrementWord;
        WorkerRun program;
        program.run(sst ? SpiSstWorker(spi.device) : SpiWriteWorker(spi.device), params);
        EXPECT_EQ(program.last().lParam, WriteFinished);
        EXPECT_EQ(program.sink.count(ProgressStep),
                  static_cast<int>(sst ? SpiSstSteps(c.size) : SpiPageSteps(c.size, c.page)));
        EXPECT_TRUE(Equal(chip, image.first(c.size)));
        const Frames programFrames = spi.framesWithoutPolls();
        ExpectFrames(programFrames, c.programFrames);
        EXPECT_EQ(programFrames.size(), c.programFrameCount);
    }
}

TEST(SpiWorkers, CancelsAndFailuresStopCleanly)
{
    const std::span<uint8_t> image = Image();
    EmulatedSpi spi(SpiChip("ID_SPI1", 65536));
    const WorkerParams params = Params(65536, 256, "ID_SPI1");

    {
        SCOPED_TRACE("read cancelled after two chunks");
        WorkerRun run;
        run.cancelAt(ProgressStep, 2);
        run.run(SpiReadWorker(spi.device), params);
        EXPECT_EQ(run.sink.count(ProgressStep), 2);
        EXPECT_EQ(run.last().lParam, ReadCancelled);
        // The third chunk's read was already queued behind the second: it is read and dropped.
        EXPECT_EQ(spi.frames().size(), 3u);
    }
    {
        SCOPED_TRACE("page programming cancelled after two pages");
        FillPattern(image.first(65536), 1);
        WorkerRun run;
        run.cancelAt(ProgressStep, 2);
        run.run(SpiWriteWorker(spi.device), params);
        EXPECT_EQ(run.last().lParam, WriteCancelled);
        EXPECT_EQ(spi.framesWithoutPolls().back(), "04");
        auto chip = spi.emulator->memory();
        EXPECT_TRUE(Equal(chip.first(512), image.first(512)));
        EXPECT_TRUE(AllErased(chip.subspan(512)));
    }
    {
        SCOPED_TRACE("size 0 and page size 0 are refused before any transfer");
        WorkerRun read, write;
        read.run(SpiReadWorker(spi.device), Params(0, 256, "ID_SPI1"));
        write.run(SpiWriteWorker(spi.device), Params(65536, 0, "ID_SPI1"));
        EXPECT_EQ(read.sink.messages.size(), 1u);
        EXPECT_EQ(read.last().lParam, ReadCancelled);
        EXPECT_EQ(write.sink.messages.size(), 1u);
        EXPECT_EQ(write.last().lParam, WriteCancelled);
        EXPECT_EQ(spi.frames(), (Frames{"04"}));
        EXPECT_FALSE(SpiChipReadable(0));
        EXPECT_FALSE(SpiPageSizeUsable(0));
        EXPECT_EQ(SpiReadSteps(0), 0u);
    }
    {
        SCOPED_TRACE("adapter pulled during a read or a programming: a fault at the address reached");
        WorkerRun read, write;
        read.sink.onMessage = [&](const OpMessage& m) {
            if (m.lParam == ProgressStep) spi.emulator->unplug();
        };
        read.run(SpiReadWorker(spi.device), params);
        EXPECT_EQ(read.sink.count(ProgressStep), 1);
        EXPECT_EQ(read.last().message, WM_OP_FAULT); // a failure, never the words of a cancel
        EXPECT_EQ(read.last().lParam, 2048);         // at the chunk that failed
        write.run(SpiWriteWorker(spi.device), params);
        EXPECT_EQ(write.sink.messages.size(), 1u);
        EXPECT_EQ(write.last().message, WM_OP_FAULT);
        EXPECT_EQ(write.last().lParam, 0);
    }
}

TEST(SpiWorkers, EraseCancelledLeavesTheChipErasing)
{
    EmulatedChipConfig config = SpiChip("ID_SPI1", 65536);
    config.chipEraseTime = std::chrono::hours(1);
    EmulatedSpi spi(config, 1.0);
    WorkerRun run;
    run.cancelAt(ProgressEraseTick, 1);
    run.run(SpiEraseWorker(spi.device), Params(65536, 0, ""));
    EXPECT_EQ(run.sink.count(ProgressEraseTick), 1);
    EXPECT_EQ(run.last().lParam, EraseCancelled);
    EXPECT_EQ(spi.framesWithoutPolls(), (Frames{"06", "C7"}));
    uint8_t status = 0;
    ASSERT_TRUE(SPIReadRegister(spi.device, 0x05, status));
    EXPECT_EQ(status & 0x01, 0x01);
}

TEST(SpiWorkers, EraseOfAChipThatStaysBusyIsBoundedAndReported)
{
    EmulatedChipConfig config = SpiChip("ID_SPI1", 65536);
    config.chipEraseTime = std::chrono::hours(1);
    EmulatedSpi spi(config, 1.0);
    WorkerRun run;
    run.run(SpiEraseWorker(spi.device, std::chrono::milliseconds(50)), Params(65536, 0, ""));
    EXPECT_GE(run.sink.count(ProgressEraseTick), 1);
    EXPECT_EQ(run.last().message, WM_OP_FAULT);
    EXPECT_EQ(run.last().lParam, -1);

    spi.emulator->unplug();
    WorkerRun unplugged;
    unplugged.run(SpiEraseWorker(spi.device), Params(65536, 0, ""));
    ASSERT_EQ(unplugged.sink.messages.size(), 1u);
    EXPECT_EQ(unplugged.last().message, WM_OP_FAULT);
}
