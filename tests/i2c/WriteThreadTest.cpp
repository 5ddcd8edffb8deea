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
    std::chrono::milliseconds writeCycle;
    int32_t address;
};

class WriteFaults : public I2cTest, public ::testing::WithParamInterface<FaultCase> {};

// Page size 16 on a 24C02: a page is one exchange of two OUT packets, each ACK poll after it one
// more; a chip whose write cycle is 0 needs no poll beyond the one in the page's exchange.
TEST_P(WriteFaults, ReportTheAddressOfTheFailingStep)
{
    auto config = I2cChip("ID_24C02", 256, 16);
    config.eepromWriteCycle = GetParam().writeCycle;
    auto emulator = std::make_shared<EmulatedCh341>(config, 1000.0);
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
                         ::testing::Values(FaultCase{0, std::chrono::milliseconds(5), 0},  // the first page
                                           FaultCase{4, std::chrono::milliseconds(0), 32}, // the third page
                                           FaultCase{2, std::chrono::hours(1), 16}));      // polling the first

// Refuses one byte value in the step-by-step page write a plain library does.
class RefusingByte final : public Ch341Library {
public:
    RefusingByte(Ch341Library& library, uint8_t value) : inner(library), refused(value) {}
    intptr_t CH341OpenDevice(uint32_t i) override { return inner.CH341OpenDevice(i); }
    void CH341CloseDevice(uint32_t i) override { inner.CH341CloseDevice(i); }
    bool CH341ResetDevice(uint32_t i) override { return inner.CH341ResetDevice(i); }
    bool CH341SetDeviceNotify(uint32_t i, const char* id, DeviceNotify n) override
    {
        return inner.CH341SetDeviceNotify(i, id, std::move(n));
    }
    bool CH341SetStream(uint32_t i, uint8_t mode) override { return inner.CH341SetStream(i, mode); }
    bool CH341WriteData(uint32_t i, std::span<const uint8_t> b) override { return inner.CH341WriteData(i, b); }
    bool CH341WriteRead(uint32_t i, std::span<const uint8_t> write, uint32_t step, uint32_t count, uint32_t& length,
                        std::span<uint8_t> reply) override
    {
        const bool refuse = write.size() >= 3 && write[0] == 0xAA && write[1] == 0x80 && write[2] == refused;
        const bool ok = inner.CH341WriteRead(i, write, step, count, length, reply);
        if (ok && refuse && length > 0) reply[length - 1] |= 0x80;
        return ok;
    }
    bool CH341StreamSPI4(uint32_t i, uint32_t cs, std::span<uint8_t> b) override
    {
        return inner.CH341StreamSPI4(i, cs, b);
    }
    bool CH341SetDelaymS(uint32_t i, uint32_t ms) override { return inner.CH341SetDelaymS(i, ms); }
    bool CH341ReadEEPROM(uint32_t i, uint8_t t, uint32_t a, std::span<uint8_t> b) override
    {
        return inner.CH341ReadEEPROM(i, t, a, b);
    }
    bool CH341WriteEEPROM(uint32_t i, uint8_t t, uint32_t a, std::span<const uint8_t> b) override
    {
        return inner.CH341WriteEEPROM(i, t, a, b);
    }
    UsbStatus lastStatus() const override { return inner.lastStatus(); }

    Ch341Library& inner;
    uint8_t refused;
};

TEST_F(I2cTest, ARefusedDataByteIsNamedByItsAddress)
{
    EmulatedI2c adapter(I2cChip("ID_24C02", 256, 16));
    std::vector<uint8_t> image(256, 0x11);
    image[35] = 0x99; // the fourth data byte of the third page
    RefusingByte library(adapter.device, 0x99);
    WorkerRun run;
    IICWriteThread(library, WriteParams(image, 256, 1, 16), run.context);

    EXPECT_EQ(run.sink.steps, 2);
    EXPECT_EQ(run.sink.last().message, WM_OP_FAULT);
    EXPECT_EQ(run.sink.last().lParam, 35);
}

struct CycleCase {
    std::chrono::milliseconds writeCycle;
    int pages;
    int32_t lastCode;
};

class WriteCycle : public I2cTest, public ::testing::WithParamInterface<CycleCase> {};

// ACK polling waits out the chip's write cycle however long it takes; one that never ends fails
// the write with the next page's address.
TEST_P(WriteCycle, NextPageStartsWhenTheChipAnswersAgain)
{
    auto config = I2cChip("ID_24C02", 256, 16);
    config.eepromWriteCycle = GetParam().writeCycle;
    EmulatedI2c adapter(config, 10.0);
    auto image = Image(256);
    WorkerRun run;
    IICWriteThread(adapter.device, WriteParams(image, 64, 1, 16), run.context);

    EXPECT_EQ(run.sink.steps, GetParam().pages);
    EXPECT_EQ(run.sink.last().lParam, GetParam().lastCode);
    if (GetParam().lastCode == WriteFinished) {
        EXPECT_TRUE(std::equal(image.begin(), image.begin() + 64, adapter.chip().begin()));
    }
}

INSTANTIATE_TEST_SUITE_P(Cycles, WriteCycle,
                         ::testing::Values(CycleCase{std::chrono::milliseconds(5), 4, WriteFinished},
                                           CycleCase{std::chrono::milliseconds(40), 4, WriteFinished},
                                           CycleCase{std::chrono::hours(1), 0, 16}));

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
