#include "tests/support/EmulatedAdapter.h"

#include "adapter/Uch_i2c.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

// A library that records the packet of each raw call and answers with a scripted reply.
class ScriptedLibrary final : public Ch341Library {
public:
    std::vector<uint8_t> sent;
    uint32_t readStep = 0, readCount = 0;
    std::optional<std::vector<uint8_t>> reply; // nullopt: the exchange fails

    intptr_t CH341OpenDevice(uint32_t) override { return 1; }
    void CH341CloseDevice(uint32_t) override {}
    bool CH341ResetDevice(uint32_t) override { return true; }
    bool CH341SetDeviceNotify(uint32_t, const char*, DeviceNotify) override { return true; }
    bool CH341SetStream(uint32_t, uint8_t) override { return true; }
    bool CH341WriteData(uint32_t, std::span<const uint8_t> buffer) override
    {
        sent.assign(buffer.begin(), buffer.end());
        return true;
    }
    bool CH341WriteRead(uint32_t, std::span<const uint8_t> write, uint32_t step, uint32_t count, uint32_t& replyLength,
                        std::span<uint8_t> out) override
    {
        sent.assign(write.begin(), write.end());
        readStep = step;
        readCount = count;
        if (!reply) return false;
        std::copy(reply->begin(), reply->end(), out.begin());
        replyLength = static_cast<uint32_t>(reply->size());
        return true;
    }
    bool CH341StreamSPI4(uint32_t, uint32_t, std::span<uint8_t>) override { return false; }
    bool CH341SetDelaymS(uint32_t, uint32_t) override { return true; }
    bool CH341ReadEEPROM(uint32_t, uint8_t, uint32_t, std::span<uint8_t>) override { return false; }
    bool CH341WriteEEPROM(uint32_t, uint8_t, uint32_t, std::span<const uint8_t>) override { return false; }
    UsbStatus lastStatus() const override { return UsbStatus::Ok; }
};

using Bytes = std::vector<uint8_t>;

TEST(IicPrimitives, PacketsAreTheStreamCommandsByteForByte)
{
    ScriptedLibrary lib;
    lib.reply = Bytes(32, 0x00);
    uint8_t data[32];
    uint8_t last = 0;

    IICStart(lib, AdapterIndex);
    EXPECT_EQ(lib.sent, (Bytes{0xAA, 0x74, 0x00}));
    IICStop(lib, AdapterIndex);
    EXPECT_EQ(lib.sent, (Bytes{0xAA, 0x75, 0x00}));
    IICWriteByte(lib, AdapterIndex, 0x5A);
    EXPECT_EQ(lib.sent, (Bytes{0xAA, 0x80, 0x5A, 0x00}));
    EXPECT_EQ(lib.readStep, 32u);
    EXPECT_EQ(lib.readCount, 1u);
    IICReadBytes(lib, AdapterIndex, 31, data);
    EXPECT_EQ(lib.sent, (Bytes{0xAA, 0xDF, 0x00}));
    IICReadBytes(lib, AdapterIndex, 32, data);
    EXPECT_EQ(lib.sent, (Bytes{0xAA, 0xE0, 0x00}));
    IICReadLastByte(lib, AdapterIndex, last);
    EXPECT_EQ(lib.sent, (Bytes{0xAA, 0xC0, 0x00}));
}

TEST(IicPrimitives, WriteByteJudgesTheLastReplyByte)
{
    struct Case {
        std::optional<Bytes> reply;
        bool acknowledged;
    } cases[] = {
        {Bytes{0x00}, true},        {Bytes{0x80}, false}, {Bytes{0x80, 0x00}, true},
        {Bytes{0x00, 0x80}, false}, {Bytes{}, false},     {std::nullopt, false},
    };
    for (const Case& c : cases) {
        ScriptedLibrary lib;
        lib.reply = c.reply;
        EXPECT_EQ(IICWriteByte(lib, AdapterIndex, 0xA0), c.acknowledged);
    }
}

TEST(IicPrimitives, ReadBytesNeedsExactlyTheAskedCount)
{
    struct Case {
        uint32_t n;
        std::size_t replied;
        bool ok;
    } cases[] = {{31, 30, false}, {31, 32, false}, {31, 31, true}, {1, 1, true}};
    for (const Case& c : cases) {
        ScriptedLibrary lib;
        lib.reply = Bytes(c.replied, 0x42);
        Bytes destination(32, 0x00);
        EXPECT_EQ(IICReadBytes(lib, AdapterIndex, c.n, destination), c.ok) << c.n << "/" << c.replied;
        const Bytes expected = c.ok ? [&] { Bytes b(32, 0); std::fill_n(b.begin(), c.n, 0x42); return b; }()
                                    : Bytes(32, 0x00);
        EXPECT_EQ(destination, expected);
    }
}

TEST(IicPrimitives, ReadBytesRefusesBadCountsWithoutSending)
{
    EmulatedAdapter adapter(I2cChip("ID_24C02", 256, 8));
    adapter.emulator->resetCounters();
    uint8_t data[40];
    EXPECT_FALSE(IICReadBytes(adapter.device, AdapterIndex, 0, data));
    EXPECT_FALSE(IICReadBytes(adapter.device, AdapterIndex, 33, data));
    EXPECT_FALSE(IICReadBytes(adapter.device, AdapterIndex, 8, std::span<uint8_t>(data, 7)));
    EXPECT_EQ(adapter.emulator->counters().outPackets, 0u);
    EXPECT_TRUE(IICReadBytes(adapter.device, AdapterIndex, 32, data));
    EXPECT_EQ(adapter.emulator->counters().roundTrips, 1u);
}

TEST(IicPrimitives, ReadLastByteTakesTheLastOfSeveralReplyBytes)
{
    ScriptedLibrary lib;
    lib.reply = Bytes{0x11, 0x22};
    uint8_t value = 0;
    EXPECT_TRUE(IICReadLastByte(lib, AdapterIndex, value));
    EXPECT_EQ(value, 0x22);
    lib.reply = Bytes{};
    EXPECT_FALSE(IICReadLastByte(lib, AdapterIndex, value));
}

// The read sequence of the I2C read worker, on the emulated bus.
TEST(IicPrimitives, SequentialReadOnTheBus)
{
    EmulatedAdapter adapter(I2cChip("ID_24C02", 256, 8));
    auto memory = adapter.emulator->memory();
    for (std::size_t i = 0; i < memory.size(); ++i) memory[i] = static_cast<uint8_t>(i);
    Ch341Library& lib = adapter.device;

    uint8_t data[32] = {};
    IICStart(lib, AdapterIndex);
    EXPECT_TRUE(IICWriteByte(lib, AdapterIndex, 0xA0));
    EXPECT_TRUE(IICWriteByte(lib, AdapterIndex, 0x40));
    IICStart(lib, AdapterIndex);
    EXPECT_TRUE(IICWriteByte(lib, AdapterIndex, 0xA1));
    EXPECT_TRUE(IICReadBytes(lib, AdapterIndex, 31, data));
    EXPECT_TRUE(IICReadLastByte(lib, AdapterIndex, data[31]));
    IICStop(lib, AdapterIndex);

    std::string expected = "S A0+ 40+ S A1+";
    char token[8];
    for (int i = 0; i < 32; ++i) {
        std::snprintf(token, sizeof token, " r%02X%c", 0x40 + i, i < 31 ? '+' : '-');
        expected += token;
    }
    EXPECT_EQ(adapter.i2c(), expected + " P");
    for (int i = 0; i < 32; ++i) EXPECT_EQ(data[i], 0x40 + i);
}

TEST(IicPrimitives, AbsentDeviceIsNotAcknowledged)
{
    EmulatedAdapter adapter(I2cChip("ID_24C02", 256, 8));
    IICStart(adapter.device, AdapterIndex);
    EXPECT_FALSE(IICWriteByte(adapter.device, AdapterIndex, 0xA2));
    IICStop(adapter.device, AdapterIndex);
    EXPECT_EQ(adapter.i2c(), "S A2- P");
}

} // namespace
