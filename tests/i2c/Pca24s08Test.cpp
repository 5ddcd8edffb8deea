#include "I2cFixture.h"

#include "i2c/IICReadThread.h"
#include "i2c/IICWriteThread.h"

namespace {

using Worker = void (*)(Ch341Library&, const WorkerParams&, WorkerContext&);

struct PcaCase {
    const char* name;
    Worker worker;
    int32_t finished;
};

class Pca24s08 : public I2cTest, public ::testing::WithParamInterface<PcaCase> {};

// The PCA24S08 answers only at 0xA8. Its run uses that base; the menu's address stays, so the
// next operation on a chip of another name is addressed at 0xA0 again.
TEST_P(Pca24s08, RunsAt0xA8AndLeavesTheMenuAddress)
{
    EmulatedI2c adapter(I2cChip("ID_24C08", 1024, 16, "PCA24S08"));
    adapter.emulator->setLogging(true);
    std::vector<uint8_t> buffer(1024, 0);
    WorkerParams params{.size = 1024, .pageSize = 16, .chipText = "PCA24S08", .type = 3, .buffer = buffer.data()};

    WorkerRun pca;
    GetParam().worker(adapter.device, params, pca.context);
    EXPECT_EQ(pca.sink.last().lParam, GetParam().finished);
    EXPECT_EQ(SlaveAddress.load(), DefaultSlaveAddress);
    const std::string bus = adapter.emulator->takeLog().i2cText();
    EXPECT_EQ(bus.substr(0, 6), "S A8+ ");
    EXPECT_NE(bus.find("S AE+ "), std::string::npos); // address bits 8..9 of the last quarter

    params.chipText = "PCA24S08 ";
    WorkerRun other;
    GetParam().worker(adapter.device, params, other.context);
    EXPECT_EQ(other.sink.last().message, WM_OP_FAULT);
    EXPECT_EQ(other.sink.last().lParam, 0);
    // The block or page goes out in one exchange; the refused device byte fails it.
    EXPECT_EQ(adapter.emulator->takeLog().i2cText().substr(0, 10), "S A0- 00- ");
}

INSTANTIATE_TEST_SUITE_P(Workers, Pca24s08,
                         ::testing::Values(PcaCase{"Read", IICReadThread, ReadFinished},
                                           PcaCase{"Write", IICWriteThread, WriteFinished}),
                         [](const auto& test) { return std::string(test.param.name); });

} // namespace
