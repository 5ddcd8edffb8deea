// The CH341A's bus masters: what the chip families see of the adapter.
#include "adapter/ch341a/Ch341I2cMaster.h"
#include "adapter/ch341a/Ch341PinBus.h"
#include "adapter/ch341a/Ch341SpiMaster.h"
#include "tests/support/EmulatedAdapter.h"

#include <gtest/gtest.h>

namespace {

TEST(Ch341SpiMaster, FramesCarryTheirOutBytesThenTheirInBytes)
{
    EmulatedAdapter adapter(SpiChip("ID_SPI1", 1u << 20, 256, "EF4014"));
    Ch341SpiMaster spi(adapter.device);
    const uint8_t jedec[] = {0x9F}, status[] = {0x05};
    uint8_t id[3] = {}, sr1[1] = {0xEE};
    const bus::SpiFrame frames[] = {{jedec, id}, {status, sr1}};
    ASSERT_TRUE(spi.transfer(frames));
    EXPECT_EQ(adapter.frames(), (std::vector<std::string>{"9F 00 00 00", "05 00"}));
    EXPECT_EQ(std::vector<uint8_t>(id, id + 3), (std::vector<uint8_t>{0xEF, 0x40, 0x14}));
    EXPECT_EQ(sr1[0], 0x00);

    // Queued reads come back in order, each into its own span.
    auto memory = adapter.chip();
    for (std::size_t i = 0; i < 8192; ++i) memory[i] = uint8_t(i * 13);
    std::vector<uint8_t> first(4096), second(4096);
    const uint8_t readFirst[] = {0x03, 0x00, 0x00, 0x00}, readSecond[] = {0x03, 0x00, 0x10, 0x00};
    const bus::SpiFrame a{readFirst, first}, b{readSecond, second};
    const bus::SpiTicket ta = spi.queue(std::span(&a, 1)), tb = spi.queue(std::span(&b, 1));
    ASSERT_NE(ta, 0u);
    ASSERT_NE(tb, 0u);
    ASSERT_TRUE(spi.collect(ta));
    ASSERT_TRUE(spi.collect(tb));
    EXPECT_TRUE(std::equal(first.begin(), first.end(), memory.begin()));
    EXPECT_TRUE(std::equal(second.begin(), second.end(), memory.begin() + 4096));
}

TEST(Ch341SpiMaster, RefusesEmptyAndOversizedFrames)
{
    EmulatedAdapter adapter(SpiChip());
    Ch341SpiMaster spi(adapter.device);
    EXPECT_FALSE(spi.transfer(bus::SpiFrame{}));
    EXPECT_EQ(spi.lastStatus(), UsbStatus::InvalidArgument);
    std::vector<uint8_t> huge(Ch341SpiMaster::LargestFrame + 1);
    EXPECT_FALSE(spi.transfer(bus::SpiFrame{huge, {}}));
    EXPECT_TRUE(adapter.frames().empty());
}

TEST(Ch341I2cMaster, ReportsEachAcknowledgementAndTheBytesRead)
{
    EmulatedAdapter adapter(I2cChip("ID_24C02", 256, 8));
    for (std::size_t i = 0; i < 256; ++i) adapter.chip()[i] = uint8_t(255 - i);
    Ch341I2cMaster i2c(adapter.device);

    const uint8_t phase[] = {0xA0, 0x10}, readDevice[] = {0xA1};
    uint8_t data[40] = {};
    bus::I2cTransaction read;
    read.start().write(phase).start().write(readDevice).read(data).stop();
    bool acks[3] = {};
    ASSERT_TRUE(i2c.run(read, acks));
    EXPECT_TRUE(acks[0] && acks[1] && acks[2]);
    for (std::size_t i = 0; i < 40; ++i) EXPECT_EQ(data[i], uint8_t(255 - 0x10 - i)) << i;

    // Nobody at 0xA8: the refusal is an answer, not a failed exchange.
    const uint8_t absent[] = {0xA8};
    bus::I2cTransaction probe;
    probe.start().write(absent).stop();
    bool ack = true;
    ASSERT_TRUE(i2c.run(probe, std::span(&ack, 1)));
    EXPECT_FALSE(ack);
}

TEST(Ch341PinBus, PacksABatchIntoFullSegmentsOfOneExchangeAndSamplesInOrder)
{
    EmulatedAdapter adapter(SpiChip());
    Ch341PinBus pins(adapter.device);
    // The emulated port reads back the levels driven on D5..D0 (D7 floats high): each sample
    // shows the drive before it, so the order of the samples is visible.
    bus::PinBatch batch;
    for (unsigned i = 0; i < 100; ++i) batch.drive(uint8_t(i * 7)).sample();
    adapter.emulator->resetCounters();
    std::vector<uint8_t> samples;
    ASSERT_TRUE(pins.run(batch, samples));
    ASSERT_EQ(samples.size(), 100u);
    for (unsigned i = 0; i < 100; ++i) EXPECT_EQ(samples[i], uint8_t(0x80 | ((i * 7) & 0x3F))) << i;
    const UsbCounters& counters = adapter.emulator->counters();
    EXPECT_EQ(counters.roundTrips, 1u);
    // 201 sub-commands (the directions first), 30 to a segment; one reply per segment.
    EXPECT_EQ(counters.outPackets, 7u);
    EXPECT_EQ(counters.inPackets, 7u);

    // A hold is whole pin commands of about 0.75 us each, here 60: two more segments; the clock
    // moves on by at least the hold.
    const auto before = adapter.emulator->now();
    ASSERT_TRUE(pins.run(bus::PinBatch(batch).hold(std::chrono::nanoseconds(44'900)), samples));
    EXPECT_EQ(counters.outPackets, 7u + 9u);
    EXPECT_GE(adapter.emulator->now() - before, std::chrono::nanoseconds(44'900));

    // Released, the pins are at the SPI engine's idle levels.
    ASSERT_TRUE(pins.release());
    ASSERT_TRUE(pins.run(bus::PinBatch().sample(), samples));
    EXPECT_EQ(samples, std::vector<uint8_t>{0x80 | 0x37});
    EXPECT_TRUE(pins.run(bus::PinBatch(), samples)); // nothing to do: no exchange
    EXPECT_TRUE(samples.empty());
}

} // namespace
