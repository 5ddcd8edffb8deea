#include "I2cFixture.h"

#include "adapter/FaultyTransport.h"
#include "i2c/IICReadThread.h"
#include "i2c/IICWriteThread.h"

#include <bit>

namespace {

// Differs from the chip's pattern in every byte.
std::vector<uint8_t> Image(std::size_t size)
{
    std::vector<uint8_t> image(size);
    for (uint32_t i = 0; i < size; ++i) image[i] = static_cast<uint8_t>(~Pattern(i));
    return image;
}

WorkerParams WriteParams(std::vector<uint8_t>& image, uint32_t size, uint8_t type, uint16_t pageSize)
{
    return Params(size, type, image.data(), pageSize);
}

struct WriteCase {
    const char* kind;
    uint32_t chipSize;
    uint16_t pageSize;
    uint32_t writeSize;
    int pages;
};

class WritePages : public I2cTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(WritePages, WriteLandsPageByPageAndReadsBackEqual)
{
    const WriteCase& c = GetParam();
    EmulatedI2c adapter(I2cChip(c.kind, c.chipSize, c.pageSize));
    const uint8_t type = *I2cTypeOfKind(c.kind);
    auto image = Image(c.chipSize);
    WorkerRun write;
    IICWriteThread(adapter.device, WriteParams(image, c.writeSize, type, c.pageSize), write.context);

    EXPECT_EQ(write.sink.steps, c.pages);
    ASSERT_EQ(write.sink.last().lParam, WriteFinished);
    EXPECT_GE(std::bit_cast<float>(write.sink.last().wParam), 0.0f);
    // Nothing past the written size changes, even inside the last page.
    for (uint32_t i = 0; i < c.chipSize; ++i)
        ASSERT_EQ(adapter.chip()[i], i < c.writeSize ? image[i] : Pattern(i)) << "byte " << i;

    std::vector<uint8_t> back(c.chipSize);
    WorkerRun read;
    IICReadThread(adapter.device, Params(c.writeSize, type, back.data()), read.context);
    ASSERT_EQ(read.sink.last().lParam, ReadFinished);
    const uint32_t readSize = c.writeSize / IICReadBlock * IICReadBlock;
    EXPECT_TRUE(std::equal(back.begin(), back.begin() + readSize, image.begin()));
}

INSTANTIATE_TEST_SUITE_P(Chips, WritePages,
                         ::testing::Values(WriteCase{"ID_24C02", 256, 8, 256, 32},
                                           WriteCase{"ID_24C16", 2048, 16, 2048, 128},
                                           WriteCase{"ID_24C1024", 131072, 256, 131072, 512},
                                           WriteCase{"ID_24C02", 256, 16, 100, 7}));

TEST_F(I2cTest, CancelDuringAPageTakesEffectBeforeTheNextPage)
{
    EmulatedI2c adapter(I2cChip("ID_24C02", 256, 8));
    auto image = Image(256);
    WorkerRun run;
    run.sink.onStep = [&](int step) {
        if (step == 4) run.queue.post(WM_OP_CANCEL); // page 3 done
    };
    IICWriteThread(adapter.device, WriteParams(image, 256, 1, 8), run.context);

    EXPECT_EQ(run.sink.steps, 4);
    EXPECT_EQ(run.sink.last().lParam, WriteCancelled);
    for (uint32_t i = 0; i < 256; ++i) ASSERT_EQ(adapter.chip()[i], i < 32 ? image[i] : Pattern(i));
}

struct FaultCase {
    uint64_t packetsBeforeFault; // OUT packets the transport lets through
    int32_t address;
};

class WriteFaults : public I2cTest, public ::testing::WithParamInterface<FaultCase> {};

// Page size 16 on a 24C02: a page is 20 OUT packets (start, two address bytes, 16 data, stop).
TEST_P(WriteFaults, ReportTheAddressOfTheFailingStep)
{
    auto emulator = std::make_shared<EmulatedCh341>(I2cChip("ID_24C02", 256, 16), 1000.0);
    Ch341Device device(
        std::make_shared<FaultyTransport>(emulator, TransportFault::Timeout, GetParam().packetsBeforeFault));
    device.CH341OpenDevice(AdapterIndex);
    auto image = Image(256);
    WorkerRun run;
    IICWriteThread(device, WriteParams(image, 256, 1, 16), run.context);

    EXPECT_EQ(run.sink.last().message, WM_OP_FAULT);
    EXPECT_EQ(run.sink.last().lParam, GetParam().address);
}

INSTANTIATE_TEST_SUITE_P(Steps, WriteFaults,
                         ::testing::Values(FaultCase{0, 0},           // start of the first page
                                           FaultCase{40 + 3 + 3, 35}, // fourth data byte of the third page
                                           FaultCase{20 + 1 + 1, 16}, // address phase of the second page
                                           FaultCase{20 + 19, 16}));  // stop of the second page

struct CycleCase {
    std::chrono::milliseconds writeCycle;
    int pages;
    int32_t lastCode;
};

class WriteCycle : public I2cTest, public ::testing::WithParamInterface<CycleCase> {};

// The fixed wait after each page is the only allowance: a chip still busy refuses the next page.
TEST_P(WriteCycle, NextPageStartsAfterTheFixedWait)
{
    auto config = I2cChip("ID_24C02", 256, 16);
    config.eepromWriteCycle = GetParam().writeCycle;
    EmulatedI2c adapter(config, 10.0);
    auto image = Image(256);
    WorkerRun run;
    IICWriteThread(adapter.device, WriteParams(image, 64, 1, 16), run.context);

    EXPECT_EQ(run.sink.steps, GetParam().pages);
    EXPECT_EQ(run.sink.last().lParam, GetParam().lastCode);
}

INSTANTIATE_TEST_SUITE_P(Cycles, WriteCycle,
                         ::testing::Values(CycleCase{std::chrono::milliseconds(5), 4, WriteFinished},
                                           CycleCase{std::chrono::milliseconds(40), 1, 16}));

TEST_F(I2cTest, PageSizeZeroIsRefusedBeforeTheBus)
{
    EmulatedI2c adapter(I2cChip("ID_24C02", 256, 8));
    adapter.emulator->setLogging(true);
    auto image = Image(256);
    WorkerRun run;
    IICWriteThread(adapter.device, WriteParams(image, 256, 1, 0), run.context);

    ASSERT_EQ(run.sink.messages.size(), 1u);
    EXPECT_EQ(run.sink.last().message, WM_OP_FAULT);
    EXPECT_EQ(run.sink.last().lParam, 0);
    EXPECT_EQ(adapter.emulator->takeLog().i2cText(), "");
}

} // namespace
