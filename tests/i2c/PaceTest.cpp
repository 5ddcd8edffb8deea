// The 24xx stream workers on the pace model: what a user would wait for on the real adapter.
#include "I2cFixture.h"

#include "adapter/emulator/PaceModel.h"
#include "i2c/IICReadThread.h"
#include "i2c/IICWriteThread.h"

namespace {

using Seconds = std::chrono::duration<double>;

// A 24C256 at 100 kHz: 32 KiB in 512 pages of 64 bytes, 5 ms write cycle.
TEST_F(I2cTest, StreamWorkersOnTheRealAdaptersPace)
{
    auto config = I2cChip("ID_24C256", 32768, 64);
    auto emulator = std::make_shared<EmulatedCh341>(config, 1.0, AdapterPace::RealAdapter);
    Ch341Device device(emulator);
    device.CH341OpenDevice(AdapterIndex);
    ASSERT_TRUE(device.CH341SetStream(AdapterIndex, 1));
    const Seconds busTime(32768.0 * PaceModel::I2cClocksPerByte / PaceModel::I2cClockHz[1]);

    std::vector<uint8_t> image(32768);
    for (uint32_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(~Pattern(i));
    WorkerRun write;
    Seconds start = emulator->clock().now();
    IICWriteThread(device, Params(32768, 8, image.data(), 64), write.context);
    const Seconds writing = Seconds(emulator->clock().now()) - start;
    ASSERT_EQ(write.sink.last().lParam, WriteFinished);
    // ACK polling instead of a fixed wait: within half again of the write cycles and the bus time.
    EXPECT_LE(writing.count(), 1.5 * (busTime + 512 * config.eepromWriteCycle).count());

    std::vector<uint8_t> back(32768);
    WorkerRun read;
    start = emulator->clock().now();
    IICReadThread(device, Params(32768, 8, back.data()), read.context);
    const Seconds reading = Seconds(emulator->clock().now()) - start;
    ASSERT_EQ(read.sink.last().lParam, ReadFinished);
    EXPECT_EQ(back, image);
    EXPECT_LE(reading.count(), 1.25 * busTime.count());
}

} // namespace
