// The emulated adapter's USB side as the real adapter shows it, the request order both
// transports follow, and the pace model's timing.
#include "tests/support/EmulatedAdapter.h"

#include "adapter/ch341a/Ch341Protocol.h"
#include "adapter/TransferSchedule.h"
#include "adapter/Uch_spi.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using Bytes = std::vector<uint8_t>;
using namespace std::chrono_literals;
using Request = TransferSchedule::Request;

// `count` SPI segments of 31 bytes each, one transfer, chip select not touched.
Bytes spiSegments(std::size_t count)
{
    Bytes out;
    for (std::size_t i = 0; i < count; ++i) {
        out.push_back(ch341::CmdSpiStream);
        out.insert(out.end(), 31, 0xFF);
    }
    return out;
}

TEST(UsbLink, TheAdapterRefusesWhatTheRealOneRefuses)
{
    struct Case {
        const char* name;
        Bytes out;
        Bytes inSizes;
        UsbStatus status;
        std::string note; // bus log, starts with
        bool hostWaitsItsTimeout;
    };
    const Case cases[] = {
        {"reply larger than the request",
         {ch341::CmdSpiStream, 1, 2, 3, 4},
         {2},
         UsbStatus::Overflow,
         "overflow",
         false},
        {"IN with nothing pending", {ch341::CmdUioStream, 0xB7, 0x20}, {1}, UsbStatus::Timeout, "timeout: IN", true},
        {"large OUT with no IN waiting", spiSegments(4), {}, UsbStatus::Timeout, "timeout: OUT stalled", true},
        {"large OUT with its replies asked for", spiSegments(4), {31, 31, 31, 31}, UsbStatus::Ok, "", false},
    };
    for (const Case& c : cases) {
        EmulatedAdapter adapter(SpiChip());
        const auto before = adapter.emulator->clock().now();
        const auto realStart = std::chrono::steady_clock::now();
        Bytes in(32 * 4);
        std::size_t received = 0;
        EXPECT_EQ(adapter.emulator->exchange(c.out, c.inSizes, in, received), c.status) << c.name;
        const auto notes = adapter.emulator->takeLog().usb;
        EXPECT_EQ(notes.empty() ? "" : notes.front().substr(0, c.note.size()), c.note) << c.name;
        EXPECT_LT(std::chrono::steady_clock::now() - realStart, 1s) << c.name << ": emulated time, not real";
        if (c.hostWaitsItsTimeout) {
            EXPECT_GE(adapter.emulator->clock().now() - before, HostOutTimeout) << c.name;
        }

        // Nothing of the failed exchange is left queued for the next one.
        const Bytes status = {ch341::CmdSpiStream, 0x00};
        EXPECT_EQ(adapter.emulator->exchange(status, Bytes{1}, in, received), UsbStatus::Ok) << c.name;
        EXPECT_EQ(received, 1u) << c.name;
    }
}

TEST(UsbLink, RequestOrderAsksForRepliesBeforeTheirDataWithinTheInWindow)
{
    TransferSchedule schedule;
    const Bytes big(5000), small(10);
    const std::span<const uint8_t> first[] = {big};
    const std::span<const uint8_t> second[] = {small, small};
    std::vector<Request> now;
    schedule.add(1, first, 40, now);
    ASSERT_EQ(now.size(), 32u + 2u);
    for (std::size_t i = 0; i < 32; ++i) EXPECT_EQ(now[i], (Request{Request::Kind::In, 1, i})) << i;
    EXPECT_EQ(now[32], (Request{Request::Kind::Out, 1, 0, 0, 4096}));
    EXPECT_EQ(now[33], (Request{Request::Kind::Out, 1, 0, 4096, 904}));

    // A second exchange while the window is full: its data goes at once, its IN requests queue
    // behind the first one's.
    now.clear();
    schedule.add(2, second, 3, now);
    EXPECT_EQ(now, (std::vector<Request>{{Request::Kind::Out, 2, 0, 0, 10}, {Request::Kind::Out, 2, 1, 0, 10}}));
    std::vector<Request> next;
    while (auto request = schedule.inFinished()) next.push_back(*request);
    ASSERT_EQ(next.size(), 11u);
    EXPECT_EQ(next[0], (Request{Request::Kind::In, 1, 32}));
    EXPECT_EQ(next[7], (Request{Request::Kind::In, 1, 39}));
    EXPECT_EQ(next[10], (Request{Request::Kind::In, 2, 2}));
    EXPECT_EQ(schedule.inFlight(), TransferSchedule::InWindow - 1);
}

// The pace model in virtual time.
struct Paced {
    explicit Paced(EmulatedChipConfig config)
        : emulator(std::make_shared<EmulatedCh341>(std::move(config), 1.0, AdapterPace::RealAdapter)), device(emulator)
    {
        device.CH341OpenDevice(AdapterIndex);
    }
    std::chrono::duration<double> now() const { return emulator->clock().now(); }
    std::shared_ptr<EmulatedCh341> emulator;
    Ch341Device device;
};

TEST(PaceModel, HostWaitsLastAtLeastToTheNextFrameAndSpiBytesTakeTheirTime)
{
    Paced paced(SpiChip());
    paced.device.CH341SetStream(AdapterIndex, SpiStreamTransfer);
    // A status read moves a few bytes: the host still waits for the next frame.
    const auto pollStart = paced.now();
    uint8_t poll[2] = {0x05, 0x00};
    ASSERT_TRUE(paced.device.CH341StreamSPI4(AdapterIndex, SpiChipSelect0, poll));
    EXPECT_NEAR((paced.now() - pollStart).count(), 0.001, 0.0002);

    // 4096 bytes: device-bound at 7.4 us per byte.
    std::vector<uint8_t> block(4096);
    const auto readStart = paced.now();
    ASSERT_TRUE(paced.device.CH341StreamSPI4(AdapterIndex, SpiChipSelect0, block));
    EXPECT_NEAR((paced.now() - readStart).count(), 4096 * 7.4e-6, 0.0015);
}

TEST(PaceModel, I2cBytesTakeNineClocksAtTheBusSpeed)
{
    for (auto [speed, seconds] : {std::pair{0, 0.1152}, {1, 0.02304}, {2, 0.00576}}) {
        Paced paced(I2cChip("ID_24C02", 256, 8));
        paced.device.CH341SetStream(AdapterIndex, static_cast<uint8_t>(speed));
        std::vector<uint8_t> data(256);
        const auto start = paced.now();
        ASSERT_TRUE(paced.device.CH341ReadEEPROM(AdapterIndex, 1, 0, data));
        EXPECT_NEAR((paced.now() - start).count(), seconds, seconds * 0.1 + 0.002) << speed;
    }
}

TEST(PaceModel, InRealTimeTheHostWaitsAsOnTheRealAdapter)
{
    auto emulator = std::make_shared<EmulatedCh341>(SpiChip(), 1.0, AdapterPace::RealAdapter, true);
    Ch341Device device(emulator);
    device.CH341OpenDevice(AdapterIndex);
    const auto start = std::chrono::steady_clock::now();
    const auto poll = [&] {
        uint8_t frame[2] = {0x05, 0x00};
        return device.CH341StreamSPI4(AdapterIndex, SpiChipSelect0, frame);
    };
    const auto seconds = [](auto duration) { return std::chrono::duration<double>(duration).count(); };
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(poll());
    // Each host wait lasts until the next frame starts: three span at least two whole frames, and
    // the emulator sleeps them out. Its virtual clock never runs ahead of real time (a loaded machine
    // may only put real time further ahead), and it catches up with time the host spent elsewhere.
    EXPECT_GE(seconds(std::chrono::steady_clock::now() - start), 0.002);
    EXPECT_LE(seconds(emulator->clock().now()), seconds(emulator->paceModel().realElapsed()) + 0.0005);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(poll());
    EXPECT_GE(seconds(emulator->clock().now()), 0.020);
    EXPECT_LE(seconds(emulator->clock().now()), seconds(emulator->paceModel().realElapsed()) + 0.0005);
}

} // namespace
