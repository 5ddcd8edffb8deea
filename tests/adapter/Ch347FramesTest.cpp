// The CH347's command frames on the wire, checked against the protocol facts: the configuration
// of every clock, chip select, the write, read and full-duplex blocks, and the I2C streams.
#include "Ch347Rig.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

namespace {

using Bytes = std::vector<uint8_t>;

const std::string Select = "C1 0A 00 80 00 00 00 00 00 00 00 00 00";
const std::string Deselect = "C1 0A 00 C0 00 00 00 00 00 00 00 00 00";

std::string Hex(unsigned value)
{
    char text[4];
    std::snprintf(text, sizeof text, "%02X", value & 0xFF);
    return text;
}

// "C4 FB 01" followed by `count` bytes of `fill`.
std::string Frame(const std::string& head, std::size_t count, uint8_t fill)
{
    std::string text = head;
    for (std::size_t i = 0; i < count; ++i) text += " " + Hex(fill);
    return text;
}

TEST(Ch347Frames, EveryClockIsAConfigurationOfMode0MsbFirstSoftwareChipSelect)
{
    Ch347Rig rig(SpiChip());
    const std::vector<uint32_t> clocks = rig.spi().clocks();
    ASSERT_EQ(clocks, (std::vector<uint32_t>{60'000'000, 30'000'000, 15'000'000, 7'500'000, 3'750'000, 1'875'000,
                                             937'500, 468'750}));
    for (std::size_t index = 0; index < clocks.size(); ++index) {
        ASSERT_TRUE(rig.spi().setClock(clocks[index]));
        // direction 0, mode 0x0104 (master), 8 bits, CPOL 0, CPHA 0, NSS 0x0200 (software),
        // prescaler index x 8, MSB first, CRC 7, no interval; MOSI low while reading, no flags.
        const std::string config = "C0 1A 00 00 00 04 01 00 00 00 00 00 00 00 02 " + Hex(unsigned(index) * 8) +
                                   " 00 00 00 07 00 00 00 00 00 00 00 00 00";
        EXPECT_EQ(rig.link->take(), (std::vector<std::string>{config, Deselect})) << clocks[index];
        EXPECT_EQ(rig.emulator->spiClock(), clocks[index]);
        EXPECT_EQ(rig.spi().clock(), clocks[index]);
    }
    EXPECT_FALSE(rig.spi().setClock(12'000'000));
    EXPECT_EQ(rig.spi().lastStatus(), UsbStatus::InvalidArgument);
    EXPECT_TRUE(rig.link->take().empty());
}

TEST(Ch347Frames, SpiFramesBecomeWriteReadAndDuplexBlocksBetweenChipSelects)
{
    struct Case {
        const char* name;
        std::vector<Bytes> outs;
        std::vector<std::size_t> ins;
        std::vector<std::string> transfers;
        std::chrono::nanoseconds gap{};
    };
    const Bytes page = [] {
        Bytes bytes{0x02, 0x00, 0x01, 0x00};
        bytes.resize(4 + 256, 0x5A);
        return bytes;
    }();
    const Case cases[] = {
        {"JEDEC id in one duplex block", {{0x9F}}, {3}, {Select, "C2 04 00 9F 00 00 00", Deselect}},
        {"a command alone", {{0x06}}, {0}, {Select, "C4 01 00 06", Deselect}},
        {"a 4 KiB read: its header written, 4096 bytes read",
         {{0x03, 0x00, 0x10, 0x00}},
         {4096},
         {Select, "C4 04 00 03 00 10 00", "C3 04 00 00 10 00 00", Deselect}},
        {"a page program in one write block",
         {page},
         {0},
         {Select, Frame("C4 04 01 02 00 01 00", 256, 0x5A), Deselect}},
        {"600 bytes out: 507 and 93",
         {Bytes(600, 0x11)},
         {0},
         {Select, Frame("C4 FB 01", 507, 0x11), Frame("C4 5D 00", 93, 0x11), Deselect}},
        {"507 bytes fit one duplex block",
         {{0x0B, 0, 0, 0}},
         {503},
         {Select, Frame("C2 FB 01 0B 00 00 00", 503, 0), Deselect}},
        {"508 do not", {{0x0B, 0, 0, 0}}, {504}, {Select, "C4 04 00 0B 00 00 00", "C3 04 00 F8 01 00 00", Deselect}},
        {"two frames 10 us apart at 15 MHz: 19 bytes clocked deselected",
         {{0x06}, {0x04}},
         {0, 0},
         {Select, "C4 01 00 06", Deselect, Frame("C4 13 00", 19, 0), Select, "C4 01 00 04", Deselect},
         std::chrono::microseconds(10)},
    };
    for (const Case& c : cases) {
        Ch347Rig rig(SpiChip());
        std::vector<Bytes> ins;
        std::vector<bus::SpiFrame> frames;
        for (std::size_t i = 0; i < c.outs.size(); ++i) ins.emplace_back(c.ins[i]);
        for (std::size_t i = 0; i < c.outs.size(); ++i) frames.push_back({c.outs[i], ins[i]});
        ASSERT_TRUE(rig.spi().transfer(frames, c.gap)) << c.name;
        EXPECT_EQ(rig.link->take(), c.transfers) << c.name;
        // The chip saw each frame whole, between its own chip-select edges.
        const auto seen = rig.frames();
        ASSERT_EQ(seen.size(), c.outs.size()) << c.name;
        for (std::size_t i = 0; i < c.outs.size(); ++i)
            EXPECT_EQ(seen[i].substr(0, BusLog::hex(c.outs[i]).size()), BusLog::hex(c.outs[i])) << c.name;
    }
}

TEST(Ch347Frames, I2cTransactionsAreAaStreamsOfRunsOf63AtMost)
{
    struct Case {
        const char* name;
        std::function<void(bus::I2cTransaction&)> build;
        std::vector<std::string> transfers;
    };
    static const uint8_t phase[] = {0xA0, 0x10}, readDevice[] = {0xA1}, absent[] = {0xA8};
    static uint8_t data40[40], data1[1];
    static const Bytes page(64, 0x3C);
    const Case cases[] = {
        {"random read of 40 bytes: 39 acknowledged, the last not",
         [](bus::I2cTransaction& t) { t.start().write(phase).start().write(readDevice).read(data40).stop(); },
         {"AA 0C 00 61 74 82 A0 10 74 81 A1 E7 C0 75 00"}},
        {"one byte read",
         [](bus::I2cTransaction& t) { t.start().write(readDevice).read(data1).stop(); },
         {"AA 07 00 61 74 81 A1 C0 75 00"}},
        {"probe of an absent device",
         [](bus::I2cTransaction& t) { t.start().write(absent).stop(); },
         {"AA 06 00 61 74 81 A8 75 00"}},
        {"a 64-byte page: a run of 63 and one of 1",
         [](bus::I2cTransaction& t) { t.start().write(phase).writeUnchecked(page).stop(); },
         {Frame("AA 49 00 61 74 82 A0 10 BF", 63, 0x3C) + " 81 3C 75 00"}},
    };
    for (const Case& c : cases) {
        Ch347Rig rig(I2cChip("ID_24C02", 256, 8));
        bus::I2cTransaction transaction;
        c.build(transaction);
        bool acks[8] = {};
        ASSERT_TRUE(rig.i2c().run(transaction, acks)) << c.name;
        EXPECT_EQ(rig.link->take(), c.transfers) << c.name;
    }
}

} // namespace
