#include "tests/support/EmulatedAdapter.h"

#include "adapter/ch341a/Ch341Device.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using Bytes = std::vector<uint8_t>;

// Keeps every OUT transfer and answers each IN with bytes 0x01, 0x02, ...
class RecordingTransport final : public UsbTransport {
public:
    std::vector<std::vector<Bytes>> exchanges; // OUT transfers of each exchange
    std::vector<Bytes> inSizes;

    UsbStatus open() override { return open_ = true, UsbStatus::Ok; }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    void setEventHandler(AdapterEventHandler) override {}

protected:
    UsbStatus doSubmit(ExchangeTicket ticket, std::span<const std::span<const uint8_t>> out,
                       std::span<const uint8_t> sizes, std::span<uint8_t> in) override
    {
        auto& transfers = exchanges.emplace_back();
        for (auto t : out) transfers.emplace_back(t.begin(), t.end());
        inSizes.emplace_back(sizes.begin(), sizes.end());
        std::size_t received = 0;
        for (uint8_t size : sizes)
            for (uint8_t i = 0; i < size; ++i, ++received) in[received] = static_cast<uint8_t>(received + 1);
        received_[ticket] = received;
        return UsbStatus::Ok;
    }
    UsbStatus doCollect(ExchangeTicket ticket, std::size_t& received) override
    {
        received = received_.at(ticket);
        return UsbStatus::Ok;
    }

private:
    bool open_ = false;
    std::map<ExchangeTicket, std::size_t> received_;
};

struct Recorder {
    Recorder() : transport(std::make_shared<RecordingTransport>()), device(transport)
    {
        device.CH341OpenDevice(AdapterIndex);
    }
    std::shared_ptr<RecordingTransport> transport;
    Ch341Device device;
};

Bytes padded(Bytes bytes)
{
    bytes.resize(32, 0x00);
    return bytes;
}

TEST(Ch341Device, StreamModeBecomesTheI2cSetCommand)
{
    for (auto [mode, wire] : {std::pair{0x81, 0x61}, {0x83, 0x63}, {0x02, 0x62}, {0x00, 0x60}}) {
        Recorder r;
        ASSERT_TRUE(r.device.CH341SetStream(AdapterIndex, static_cast<uint8_t>(mode)));
        EXPECT_EQ(r.transport->exchanges.back(), (std::vector<Bytes>{{0xAA, static_cast<uint8_t>(wire), 0x00}}));
    }
}

// Status polls set the mode before every poll; only a change of speed needs a packet, and after
// the adapter was reopened or reset the mode is sent again.
TEST(Ch341Device, UnchangedStreamModeIsNotSentAgain)
{
    Recorder r;
    ASSERT_TRUE(r.device.CH341SetStream(AdapterIndex, 0x83));
    ASSERT_TRUE(r.device.CH341SetStream(AdapterIndex, 0x83));
    ASSERT_TRUE(r.device.CH341SetStream(AdapterIndex, 0x03)); // bit order only: kept on the host
    EXPECT_EQ(r.transport->exchanges.size(), 1u);
    ASSERT_TRUE(r.device.CH341SetStream(AdapterIndex, 0x81));
    EXPECT_EQ(r.transport->exchanges.size(), 2u);

    r.device.CH341CloseDevice(AdapterIndex);
    r.device.CH341OpenDevice(AdapterIndex);
    ASSERT_TRUE(r.device.CH341SetStream(AdapterIndex, 0x81));
    EXPECT_EQ(r.transport->exchanges.size(), 3u);
    ASSERT_TRUE(r.device.CH341ResetDevice(AdapterIndex));
    ASSERT_TRUE(r.device.CH341SetStream(AdapterIndex, 0x81));
    EXPECT_EQ(r.transport->exchanges.size(), 5u);
}

TEST(Ch341Device, SpiCallSelectsTheChipAroundMirroredBytes)
{
    Recorder r;
    r.device.CH341SetStream(AdapterIndex, 0x81);
    Bytes buffer{0x9F, 0x01, 0x80};
    ASSERT_TRUE(r.device.CH341StreamSPI4(AdapterIndex, SpiChipSelect0, buffer));

    const std::vector<Bytes> expected{[] {
                                          Bytes b = padded({0xAB, 0xB6, 0x7F, 0x20});
                                          b.insert(b.end(), {0xA8, 0xF9, 0x80, 0x01});
                                          return b;
                                      }(),
                                      {0xAB, 0xB7, 0x20}};
    EXPECT_EQ(r.transport->exchanges.back(), expected);
    EXPECT_EQ(r.transport->inSizes.back(), (Bytes{3}));
    // Replies 01 02 03 come back mirrored.
    EXPECT_EQ(buffer, (Bytes{0x80, 0x40, 0xC0}));
}

TEST(Ch341Device, LsbFirstModeAndNoChipSelectSendBytesAsTheyAre)
{
    Recorder r;
    r.device.CH341SetStream(AdapterIndex, 0x01);
    Bytes buffer{0x9F, 0x01};
    ASSERT_TRUE(r.device.CH341StreamSPI4(AdapterIndex, 0x00, buffer));
    EXPECT_EQ(r.transport->exchanges.back(), (std::vector<Bytes>{{0xA8, 0x9F, 0x01}}));
    EXPECT_EQ(buffer, (Bytes{0x01, 0x02}));
}

TEST(Ch341Device, LongSpiTransfersSplitInto31ByteSegmentsOfOneExchange)
{
    for (std::size_t length : {1u, 31u, 32u, 62u, 63u, 4100u}) {
        Recorder r;
        Bytes buffer(length, 0x55);
        ASSERT_TRUE(r.device.CH341StreamSPI4(AdapterIndex, SpiChipSelect0, buffer));
        ASSERT_EQ(r.transport->exchanges.size(), 1u);
        const Bytes& data = r.transport->exchanges[0][0];
        const std::size_t segments = (length + 30) / 31;
        EXPECT_EQ(data.size(), 32 + length + segments) << length;
        Bytes sizes;
        for (std::size_t s = 0; s < segments; ++s) {
            const std::size_t at = 32 + 32 * s;
            EXPECT_EQ(data[at], 0xA8);
            sizes.push_back(static_cast<uint8_t>(std::min<std::size_t>(31, length - 31 * s)));
        }
        EXPECT_EQ(r.transport->inSizes[0], sizes);
        EXPECT_EQ(r.transport->counters().roundTrips, 1u);
        EXPECT_EQ(r.transport->counters().outPackets, segments + 2);
    }
}

TEST(Ch341Device, EepromBlockReadChainsTheSniffedLayout)
{
    Recorder r;
    Bytes buffer(128);
    ASSERT_TRUE(r.device.CH341ReadEEPROM(AdapterIndex, 8, 0x0100, buffer));
    Bytes expected = padded({0xAA, 0x74, 0x83, 0xA0, 0x01, 0x00, 0x74, 0x81, 0xA1, 0xE0, 0x00});
    for (int i = 0; i < 2; ++i) {
        const Bytes segment = padded({0xAA, 0xE0, 0x00});
        expected.insert(expected.end(), segment.begin(), segment.end());
    }
    expected.insert(expected.end(), {0xAA, 0xDF, 0xC0, 0x75, 0x00});
    EXPECT_EQ(r.transport->exchanges.back(), std::vector<Bytes>{expected});
    EXPECT_EQ(r.transport->inSizes.back(), (Bytes{32, 32, 32, 32}));
}

TEST(Ch341Device, BitOrderReachesTheEmulatedBus)
{
    EmulatedAdapter adapter(SpiChip());
    Bytes frame{0x9F, 0, 0, 0};
    adapter.device.CH341SetStream(AdapterIndex, 0x01);
    adapter.device.CH341StreamSPI4(AdapterIndex, SpiChipSelect0, frame);
    frame = {0x9F, 0, 0, 0};
    adapter.device.CH341SetStream(AdapterIndex, 0x81);
    adapter.device.CH341StreamSPI4(AdapterIndex, SpiChipSelect0, frame);
    EXPECT_EQ(adapter.frames(), (std::vector<std::string>{"F9 00 00 00", "9F 00 00 00"}));
    EXPECT_EQ(frame, (Bytes{0xFF, 0xEF, 0x40, 0x14}));
}

TEST(Ch341Device, ClosedOrAbsentAdapterFailsEveryTransfer)
{
    EmulatedAdapter adapter(SpiChip());
    adapter.device.CH341CloseDevice(AdapterIndex);
    Bytes frame{0x05, 0};
    EXPECT_FALSE(adapter.device.CH341StreamSPI4(AdapterIndex, SpiChipSelect0, frame));
    EXPECT_EQ(adapter.device.lastStatus(), UsbStatus::NotOpen);
    adapter.emulator->unplug();
    EXPECT_EQ(adapter.device.CH341OpenDevice(AdapterIndex), InvalidAdapterHandle);
    EXPECT_EQ(adapter.device.lastStatus(), UsbStatus::NotFound);
    adapter.emulator->plug();
    EXPECT_NE(adapter.device.CH341OpenDevice(AdapterIndex), InvalidAdapterHandle);
    EXPECT_EQ(adapter.device.CH341OpenDevice(1), InvalidAdapterHandle);
}

} // namespace
