#include "I2cFixture.h"

#include "adapter/FaultyTransport.h"
#include "i2c/IICReadThread.h"

#include <bit>

namespace {

constexpr uint8_t Untouched = 0x5A;

struct ReadRun : WorkerRun {
    std::vector<uint8_t> buffer = std::vector<uint8_t>(4096, Untouched);

    void read(EmulatedI2c& adapter, uint32_t size, uint8_t type, std::string chipText = "")
    {
        WorkerParams params;
        params.size = size;
        params.type = type;
        params.chipText = std::move(chipText);
        params.buffer = buffer.data();
        IICReadThread(adapter.device, params, context);
    }
    // Bytes [0, count) hold the chip, the rest of the buffer was not written.
    void expectReadUpTo(EmulatedI2c& adapter, uint32_t count)
    {
        for (uint32_t i = 0; i < buffer.size(); ++i)
            ASSERT_EQ(buffer[i], i < count ? adapter.chip()[i] : Untouched) << "byte " << i;
    }
};

struct SizeCase {
    uint32_t size;
    int blocks;
};

class ReadSizes : public I2cTest, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(ReadSizes, ReadsWholeBlocksThenCompletesWithTheTime)
{
    EmulatedI2c adapter(I2cChip("ID_24C02", 256, 8));
    ReadRun run;
    run.read(adapter, GetParam().size, 1);

    EXPECT_EQ(run.sink.steps, GetParam().blocks);
    ASSERT_EQ(run.sink.messages.size(), GetParam().blocks + 1u);
    EXPECT_EQ(run.sink.last().message, WM_OP_PROGRESS);
    EXPECT_EQ(run.sink.last().lParam, ReadFinished);
    EXPECT_GE(std::bit_cast<float>(run.sink.last().wParam), 0.0f);
    run.expectReadUpTo(adapter, GetParam().blocks * 32);
}

INSTANTIATE_TEST_SUITE_P(Sizes, ReadSizes, ::testing::Values(SizeCase{256, 8}, SizeCase{100, 3}, SizeCase{20, 0}));

TEST_F(I2cTest, EveryBlockIsACompleteRandomRead)
{
    EmulatedI2c adapter(I2cChip("ID_24C16", 2048, 16));
    adapter.emulator->setLogging(true);
    ReadRun run;
    run.read(adapter, 0x800, 4);
    const std::string bus = adapter.emulator->takeLog().i2cText();
    // The last block: A = 0x7E0, its high bits in the device byte of both phases.
    EXPECT_NE(bus.find("S AE+ E0+ S AF+ r"), std::string::npos);
    EXPECT_EQ(bus.substr(bus.size() - 6), "r" + BusLog::hex(std::span(&adapter.chip()[0x7FF], 1)) + "- P");
    run.expectReadUpTo(adapter, 0x800);
}

TEST_F(I2cTest, CancelTakesEffectBeforeTheNextBlock)
{
    EmulatedI2c adapter(I2cChip("ID_24C02", 256, 8));
    ReadRun run;
    run.sink.onStep = [&](int step) {
        if (step == 6) run.queue.post(WM_OP_CANCEL); // block 5 done
    };
    run.read(adapter, 256, 1);

    EXPECT_EQ(run.sink.steps, 6);
    EXPECT_EQ(run.sink.last().lParam, ReadCancelled);
    EXPECT_EQ(run.sink.last().wParam, 0u);
    run.expectReadUpTo(adapter, 6 * 32);
}

struct FaultCase {
    int wrongAfterStep; // the chip stops answering from this block on
    int32_t address;
};

class ReadFaults : public I2cTest, public ::testing::WithParamInterface<FaultCase> {};

// The worker reads SlaveAddress for every block, so a changed address reaches the next block.
TEST_P(ReadFaults, ReportTheFailingBlocksAddressAndKeepTheBlocksBefore)
{
    EmulatedI2c adapter(I2cChip("ID_24C02", 256, 8));
    ReadRun run;
    const auto wrongAddress = [] { SlaveAddress = 0xA4; };
    if (GetParam().wrongAfterStep == 0) wrongAddress();
    run.sink.onStep = [&](int step) {
        if (step == GetParam().wrongAfterStep) wrongAddress();
    };
    run.read(adapter, 256, 1);

    EXPECT_EQ(run.sink.steps, GetParam().wrongAfterStep);
    EXPECT_EQ(run.sink.last().message, WM_OP_FAULT);
    EXPECT_EQ(run.sink.last().lParam, GetParam().address);
    run.expectReadUpTo(adapter, GetParam().address);
}

INSTANTIATE_TEST_SUITE_P(Blocks, ReadFaults, ::testing::Values(FaultCase{0, 0}, FaultCase{3, 96}));

TEST_F(I2cTest, ReadFaultMidBlockLeavesThatBlockUntouched)
{
    // The transport dies during block 1 (a block is one exchange of two OUT packets): the block's
    // bytes must not reach the buffer.
    auto emulator = std::make_shared<EmulatedCh341>(I2cChip("ID_24C02", 256, 8), 1000.0);
    Ch341Device device(std::make_shared<FaultyTransport>(emulator, TransportFault::Timeout, 2 + 1));
    device.CH341OpenDevice(AdapterIndex);
    ReadRun run;
    IICReadThread(device, Params(256, 1, run.buffer.data()), run.context);

    EXPECT_EQ(run.sink.steps, 1);
    EXPECT_EQ(run.sink.last().message, WM_OP_FAULT);
    EXPECT_EQ(run.sink.last().lParam, 32);
    for (uint32_t i = 32; i < 64; ++i) ASSERT_EQ(run.buffer[i], Untouched);
}

} // namespace
