// The CH347's bus masters over the emulated CH347: what the chip families see of the adapter, its
// limits, how its faults end, and reads at a clock the chip does not manage.
#include "Ch347Rig.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Bytes = std::vector<uint8_t>;

void Fill(std::span<uint8_t> memory, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) memory[i] = uint8_t(i * 13 + (i >> 9));
}

TEST(Ch347SpiMaster, FramesCarryTheirOutBytesThenTheirInBytesAndQueuedReadsComeBackInOrder)
{
    Ch347Rig rig(SpiChip("ID_SPI1", 1u << 20, 256, "EF4014"));
    EXPECT_EQ(rig.adapter.name(), "CH347T");
    EXPECT_EQ(rig.adapter.pins(), nullptr);
    const uint8_t jedec[] = {0x9F}, status[] = {0x05};
    uint8_t id[3] = {}, sr1[1] = {0xEE};
    const bus::SpiFrame frames[] = {{jedec, id}, {status, sr1}};
    ASSERT_TRUE(rig.spi().transfer(frames));
    EXPECT_EQ(rig.frames(), (std::vector<std::string>{"9F 00 00 00", "05 00"}));
    EXPECT_EQ(Bytes(id, id + 3), (Bytes{0xEF, 0x40, 0x14}));
    EXPECT_EQ(sr1[0], 0x00);

    // Three 4 KiB reads queued at once, each with a status read behind it, as the 25xx reader
    // queues them; each lands in its own spans.
    auto memory = rig.chip();
    Fill(memory, 3 * 4096);
    std::vector<Bytes> blocks(3, Bytes(4096));
    uint8_t statuses[3] = {0xEE, 0xEE, 0xEE};
    std::array<uint8_t, 4> headers[3];
    bus::SpiTicket tickets[3];
    for (std::size_t b = 0; b < 3; ++b) {
        headers[b] = {0x03, 0x00, uint8_t(0x10 * b), 0x00};
        const bus::SpiFrame read[] = {{headers[b], blocks[b]}, {status, std::span(&statuses[b], 1)}};
        tickets[b] = rig.spi().queue(read);
        ASSERT_NE(tickets[b], 0u);
    }
    for (std::size_t b = 0; b < 3; ++b) {
        ASSERT_TRUE(rig.spi().collect(tickets[b])) << b;
        EXPECT_TRUE(std::equal(blocks[b].begin(), blocks[b].end(), memory.begin() + std::ptrdiff_t(4096 * b))) << b;
        EXPECT_EQ(statuses[b], 0x00) << b;
    }
    EXPECT_FALSE(rig.spi().collect(tickets[0])) << "collected once";
}

TEST(Ch347SpiMaster, RefusesEmptyAndOversizedFrames)
{
    Ch347Rig rig(SpiChip());
    EXPECT_FALSE(rig.spi().transfer(bus::SpiFrame{}));
    EXPECT_EQ(rig.spi().lastStatus(), UsbStatus::InvalidArgument);
    Bytes huge(Ch347SpiMaster::LargestFrame + 1);
    EXPECT_FALSE(rig.spi().transfer(bus::SpiFrame{huge, {}}));
    EXPECT_EQ(rig.spi().queue(std::span<const bus::SpiFrame>()), 0u);
    EXPECT_TRUE(rig.frames().empty());
    EXPECT_TRUE(rig.link->take().empty());
}

TEST(Ch347I2cMaster, ReportsEachAcknowledgementAndTheBytesRead)
{
    Ch347Rig rig(I2cChip("ID_24C02", 256, 8));
    for (std::size_t i = 0; i < 256; ++i) rig.chip()[i] = uint8_t(255 - i);
    const uint8_t phase[] = {0xA0, 0x10}, readDevice[] = {0xA1};
    Bytes data(600); // more than one frame's answer
    bus::I2cTransaction read;
    read.start().write(phase).start().write(readDevice).read(data).stop();
    bool acks[3] = {};
    ASSERT_TRUE(rig.i2c().run(read, acks));
    EXPECT_TRUE(acks[0] && acks[1] && acks[2]);
    for (std::size_t i = 0; i < data.size(); ++i) EXPECT_EQ(data[i], uint8_t(255 - ((0x10 + i) & 0xFF))) << i;
    EXPECT_EQ(rig.emulator->takeLog().i2cText().substr(0, 22), "S A0+ 10+ S A1+ rEF+ r");

    // Nobody at 0xA8: the refusal is an answer, not a failed exchange.
    const uint8_t absent[] = {0xA8};
    bus::I2cTransaction probe;
    probe.start().write(absent).stop();
    bool ack = true;
    ASSERT_TRUE(rig.i2c().run(probe, std::span(&ack, 1)));
    EXPECT_FALSE(ack);
    // Too little room for the acknowledgements.
    EXPECT_FALSE(rig.i2c().run(read, std::span(acks, 2)));
    EXPECT_EQ(rig.i2c().lastStatus(), UsbStatus::InvalidArgument);
}

TEST(Ch347Link, NoOutTransferIsLongerThan510Bytes)
{
    Ch347Rig rig(SpiChip());
    const std::size_t configuration = rig.emulator->longestOutTransfer();
    // The link refuses a longer one before it reaches the adapter, and a reply larger than a packet.
    const Bytes long511(511, 0xC4);
    const std::span<const uint8_t> transfers[] = {long511};
    const uint16_t inSizes[] = {4}, hugeIn[] = {513};
    Bytes in(600);
    std::size_t received = 0;
    EXPECT_EQ(rig.emulator->exchange(transfers, inSizes, in, received), UsbStatus::InvalidArgument);
    const Bytes small(4, 0xC4);
    const std::span<const uint8_t> smallTransfers[] = {small};
    EXPECT_EQ(rig.emulator->exchange(smallTransfers, hugeIn, in, received), UsbStatus::InvalidArgument);
    EXPECT_EQ(rig.emulator->longestOutTransfer(), configuration);

    // The largest SPI frame, a long I2C write and a long read: every command fits one transfer.
    Bytes frame(Ch347SpiMaster::LargestFrame, 0xFF);
    frame[0] = 0x02;
    ASSERT_TRUE(rig.spi().transfer(bus::SpiFrame{frame, {}}));
    Bytes read(Ch347SpiMaster::LargestFrame - 4);
    const uint8_t header[] = {0x03, 0, 0, 0};
    ASSERT_TRUE(rig.spi().transfer(bus::SpiFrame{header, read}));
    const Bytes data(4096, 0x55);
    bus::I2cTransaction write;
    write.start().writeUnchecked(data).stop();
    ASSERT_TRUE(rig.i2c().run(write, {}));
    EXPECT_EQ(rig.emulator->longestOutTransfer(), 510u);
    for (const std::string& transfer : rig.link->take()) EXPECT_LE((transfer.size() + 1) / 3, 510u);
}

TEST(Ch347Faults, EachFaultEndsInAClearFailureWithoutAHang)
{
    const struct {
        EmulatedFault fault;
        uint64_t afterPackets;
        UsbStatus status; // Ok: the exchange itself succeeds, the fault shows in what came back
    } cases[] = {
        {EmulatedFault::UsbError, 3, UsbStatus::Failed},
        {EmulatedFault::Pulled, 3, UsbStatus::NoDevice},
        {EmulatedFault::CorruptReply, 3, UsbStatus::Failed}, // the program block's status
        {EmulatedFault::ChipStaysBusy, 0, UsbStatus::Ok},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.fault));
        Ch347Rig rig(SpiChip());
        int removed = 0;
        rig.adapter.setEventHandler([&](int event) { removed += event == AdapterEventRemoved; });
        rig.emulator->armFault(c.fault, c.afterPackets);
        const auto start = std::chrono::steady_clock::now();
        const uint8_t enable[] = {0x06}, program[] = {0x02, 0x00, 0x00, 0x00, 0x12}, status[] = {0x05};
        uint8_t sr1 = 0;
        const bus::SpiFrame frames[] = {{enable, {}}, {program, {}}, {status, std::span(&sr1, 1)}};
        const bool ok = rig.spi().transfer(frames);
        EXPECT_EQ(ok, c.status == UsbStatus::Ok);
        EXPECT_EQ(rig.spi().lastStatus(), c.status);
        if (c.fault == EmulatedFault::ChipStaysBusy) EXPECT_EQ(sr1 & 0x01, 0x01) << "busy, and stays so";
        if (c.fault == EmulatedFault::Pulled) {
            EXPECT_EQ(removed, 1);
            EXPECT_FALSE(rig.adapter.isOpen());
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    }

    // I2C: a refused data byte is named; a busy chip refuses its address.
    Ch347Rig rig(I2cChip("ID_24C02", 256, 8));
    for (EmulatedFault fault : {EmulatedFault::I2cNak, EmulatedFault::ChipStaysBusy}) {
        rig.emulator->armFault(fault, 0);
        const uint8_t bytes[] = {0xA0, 0x00, 0x42};
        bus::I2cTransaction write;
        write.start().write(bytes).stop();
        bool acks[3] = {};
        ASSERT_TRUE(rig.i2c().run(write, acks));
        EXPECT_EQ(acks[0], fault != EmulatedFault::ChipStaysBusy);
        EXPECT_FALSE(acks[1]);
        rig.emulator->clearFault();
    }
}

TEST(Ch347Clock, ReadsAboveTheChipsClockComeBackDamagedAndAreRightOnceTheClockStepsDown)
{
    EmulatedChipConfig config = SpiChip();
    config.spiClockLimit = 30'000'000;
    Ch347Rig rig(config);
    Fill(rig.chip(), 4096);
    const uint8_t header[] = {0x03, 0x00, 0x00, 0x00};
    for (const uint32_t hertz : {60'000'000u, 30'000'000u, 15'000'000u}) {
        ASSERT_TRUE(rig.spi().setClock(hertz));
        Bytes block(4096);
        ASSERT_TRUE(rig.spi().transfer(bus::SpiFrame{header, block}));
        const auto wrong = std::mismatch(block.begin(), block.end(), rig.chip().begin()).first;
        EXPECT_EQ(wrong != block.end(), hertz > config.spiClockLimit) << hertz;
    }
}

TEST(Ch347Pace, AReadBlockTakesItsClockTimeAndQueuedBlocksLeaveNoGap)
{
    // At the real adapter's pace: 4 KiB take 4096 x 8 clocks, and two queued blocks little more
    // than twice one; the host's wait for a single exchange rounds up to a microframe.
    for (const uint32_t hertz : {60'000'000u, 15'000'000u}) {
        Ch347Rig rig(SpiChip(), 1.0, AdapterPace::RealAdapter);
        ASSERT_TRUE(rig.spi().setClock(hertz));
        const double bits = 4096.0 * 8 / hertz;
        const uint8_t header[] = {0x03, 0x00, 0x00, 0x00};
        Bytes a(4096), b(4096);
        const auto seconds = [&] { return std::chrono::duration<double>(rig.emulator->clock().now()).count(); };
        double start = seconds();
        ASSERT_TRUE(rig.spi().transfer(bus::SpiFrame{header, a}));
        const double one = seconds() - start;
        EXPECT_GT(one, bits);
        EXPECT_LT(one, bits + 250e-6) << hertz;
        start = seconds();
        const bus::SpiFrame fa{header, a}, fb{header, b};
        const bus::SpiTicket ta = rig.spi().queue(std::span(&fa, 1)), tb = rig.spi().queue(std::span(&fb, 1));
        ASSERT_TRUE(rig.spi().collect(ta) && rig.spi().collect(tb));
        EXPECT_LT(seconds() - start, 2 * bits + 250e-6) << hertz;
    }
}

} // namespace
