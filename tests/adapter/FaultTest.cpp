// Adapter faults become failed operations, never silent success or stray writes.
#include "tests/support/EmulatedAdapter.h"

#include "adapter/FaultyTransport.h"
#include "adapter/Uch_i2c.h"
#include "adapter/Uch_spi.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct FaultyAdapter {
    FaultyAdapter(EmulatedChipConfig config, TransportFault fault, uint64_t afterPackets)
        : emulator(std::make_shared<EmulatedCh341>(std::move(config), 1000.0)),
          device(std::make_shared<FaultyTransport>(emulator, fault, afterPackets))
    {
        device.CH341OpenDevice(AdapterIndex);
    }
    std::shared_ptr<EmulatedCh341> emulator;
    Ch341Device device;
};

TEST(Faults, EveryOperationReportsAFaultyLink)
{
    using Operation = std::function<bool(Ch341Library&)>;
    const std::pair<const char*, Operation> operations[] = {
        {"SPIReadJedecId",
         [](Ch341Library& l) {
             std::array<uint8_t, 3> id{};
             return SPIReadJedecId(l, id);
         }},
        {"SPIReadBlock",
         [](Ch341Library& l) {
             std::vector<uint8_t> d(2048, 0xEE);
             const bool ok = SPIReadBlock(l, 0, d, SpiAddress3);
             EXPECT_TRUE(ok || std::all_of(d.begin(), d.end(), [](uint8_t b) { return b == 0xEE; }));
             return ok;
         }},
        {"SPIProgramPage",
         [](Ch341Library& l) {
             uint8_t d[4] = {};
             return SPIProgramPage(l, 0, d, SpiAddress3);
         }},
        {"IICWriteByte", [](Ch341Library& l) { return IICWriteByte(l, AdapterIndex, 0xA0); }},
        {"IICReadBytes",
         [](Ch341Library& l) {
             uint8_t d[8];
             return IICReadBytes(l, AdapterIndex, 8, d);
         }},
        {"IICReadLastByte",
         [](Ch341Library& l) {
             uint8_t d;
             return IICReadLastByte(l, AdapterIndex, d);
         }},
        {"CH341ReadEEPROM",
         [](Ch341Library& l) {
             uint8_t d[64];
             return l.CH341ReadEEPROM(AdapterIndex, 1, 0, d);
         }},
        {"CH341WriteEEPROM",
         [](Ch341Library& l) {
             uint8_t d[64] = {};
             return l.CH341WriteEEPROM(AdapterIndex, 1, 0, d);
         }},
    };
    for (TransportFault fault : {TransportFault::Drop, TransportFault::ShortRead, TransportFault::Timeout}) {
        for (const auto& [name, operation] : operations) {
            const bool spi = std::string(name).starts_with("SPI");
            FaultyAdapter adapter(spi ? SpiChip() : I2cChip("ID_24C02", 256, 8), fault, 0);
            EXPECT_FALSE(operation(adapter.device)) << name << " fault " << int(fault);
            // A short raw reply is still an exchange that took place; the primitive judges it.
            const bool rawReply = fault == TransportFault::ShortRead && std::string(name).starts_with("IIC");
            if (!rawReply) {
                EXPECT_NE(adapter.device.lastStatus(), UsbStatus::Ok) << name << " fault " << int(fault);
            }
        }
    }
}

TEST(Faults, ABlockReadLoopStopsAtTheFirstBrokenBlock)
{
    // One 2048-byte block costs 69 OUT packets; the link breaks during the third.
    FaultyAdapter adapter(SpiChip(), TransportFault::Timeout, 201);
    adapter.device.CH341SetStream(AdapterIndex, SpiStreamTransfer); // one packet
    std::vector<uint8_t> image(8 * 2048, 0xEE);
    std::fill_n(adapter.emulator->memory().begin(), image.size(), 0x11);
    int blocks = 0;
    while (blocks < 8 &&
           SPIReadBlock(adapter.device, blocks * 2048u, std::span(image).subspan(blocks * 2048u, 2048), SpiAddress3))
        ++blocks;
    EXPECT_EQ(blocks, 2);
    EXPECT_EQ(adapter.device.lastStatus(), UsbStatus::Timeout);
    EXPECT_EQ(image[2 * 2048 - 1], 0x11);
    EXPECT_EQ(image[2 * 2048], 0xEE);
}

} // namespace
