// SFDP (5Ah) of the emulated flash, read through the packet encoder and the emulated CH341A.

#include "tests/adapter/SpiBench.h"

#include "adapter/emulator/PaceModel.h"
#include "chipdb/sfdp/SfdpDumps.h"
#include "chipdb/sfdp/SfdpParser.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr uint64_t MiB = 1u << 20;

// 5Ah, 3 address bytes, a dummy byte, then `length` bytes from SFDP address `address`.
Bytes ReadSfdp(Ch341Library& device, uint32_t address, std::size_t length)
{
    Bytes frame{0x5A, uint8_t(address >> 16), uint8_t(address >> 8), uint8_t(address), 0x00};
    frame.resize(frame.size() + length, 0x00);
    EXPECT_TRUE(device.CH341StreamSPI4(AdapterIndex, SpiChipSelect0, frame));
    return Bytes(frame.begin() + 5, frame.end());
}

EmulatedChipConfig W25Q128JV()
{
    return *MakeEmulatedChipConfig({"W25Q128JV", "ID_SPI1", 16 * MiB, 256, "EF4018", 40, "WINBOND"});
}

const Bytes& DumpBytes(const char* part)
{
    const auto& dumps = sfdp::Dumps().dumps;
    return std::find_if(dumps.begin(), dumps.end(), [&](const sfdp::Dump& d) { return d.part == part; })->bytes;
}

} // namespace

// A host reads 256 bytes, the first read of an identify: the built table of a W25Q64FV and the real
// one of a W25Q128JV decode to the parts' facts, in a few milliseconds of the real adapter's time.
TEST(SfdpRead, TablesDecodeAtTheRealAdaptersPace)
{
    struct Case {
        EmulatedChipConfig config;
        uint64_t density;
        const Bytes* dump;
    };
    const Case cases[] = {{DefaultEmulatedChip(), 8 * MiB, nullptr}, {W25Q128JV(), 16 * MiB, &DumpBytes("W25Q128JV")}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.density);
        auto emulator = std::make_shared<EmulatedCh341>(c.config, 1.0, AdapterPace::RealAdapter);
        Ch341Device device(emulator);
        ASSERT_TRUE(device.CH341OpenDevice(AdapterIndex));
        ASSERT_TRUE(device.CH341SetStream(AdapterIndex, SpiStreamTransfer));
        const auto start = emulator->clock().now();
        const Bytes bytes = ReadSfdp(device, 0, 256);
        const std::chrono::duration<double, std::milli> took = emulator->clock().now() - start;

        const sfdp::Parsed parsed = sfdp::Parse(bytes);
        ASSERT_TRUE(parsed.ok()) << int(parsed.error);
        EXPECT_EQ(parsed.basic.density, c.density);
        EXPECT_EQ(parsed.basic.pageSize, 256u);
        EXPECT_EQ(parsed.basic.sectorEraseOpcode, 0x20);
        EXPECT_EQ(parsed.basic.addressing, sfdp::Addressing::ThreeBytes);
        if (c.dump) EXPECT_TRUE(std::equal(c.dump->begin(), c.dump->end(), bytes.begin()));
        // 261 SPI bytes at 7.4 us and the USB frames around them: about 2 ms.
        EXPECT_LT(took.count(), 3.0);
    }
}

// Past its table the part answers FF, and the address wraps at the next power of two of at least
// 256 bytes; the address has 3 bytes in 4-byte mode too.
TEST(SfdpRead, PastTheTableFfThenTheTableAgain)
{
    SpiBench bench(W25Q128JV());
    const Bytes& dump = DumpBytes("W25Q128JV"); // 192 bytes
    const Bytes bytes = ReadSfdp(bench.device, 0, 512);
    EXPECT_TRUE(std::equal(dump.begin(), dump.end(), bytes.begin()));
    EXPECT_TRUE(std::all_of(bytes.begin() + 192, bytes.begin() + 256, [](uint8_t b) { return b == 0xFF; }));
    EXPECT_TRUE(std::equal(dump.begin(), dump.end(), bytes.begin() + 256));

    bench.tx({0xB7}); // as 4 address bytes, 01 00 80 00 would read the signature at 0
    EXPECT_EQ(ReadSfdp(bench.device, 0x10080, 4), Bytes(dump.begin() + 0x80, dump.begin() + 0x84));
}

// Parts older than SFDP and 25xx EEPROMs leave the bus high: no signature.
TEST(SfdpRead, PartsWithoutSfdpAnswerFf)
{
    const EmulatedChipConfig configs[] = {
        *MakeEmulatedChipConfig({"M25P80", "ID_SPI1", MiB, 256, "202014", 10, "ST"}),
        *MakeEmulatedChipConfig({"25LC1024", "ID_SPI1", 128 * 1024, 256, "", 0, "MICROCHIP"}),
        *MakeEmulatedChipConfig({"25LC640A", "ID_SPI2", 8192, 32, "", 0, "MICROCHIP"}),
    };
    for (const EmulatedChipConfig& config : configs) {
        SpiBench bench(config);
        const Bytes bytes = ReadSfdp(bench.device, 0, 16);
        EXPECT_EQ(bytes, Bytes(16, 0xFF)) << config.kind;
        EXPECT_EQ(sfdp::Parse(bytes).error, sfdp::Error::NoSignature);
    }
}
