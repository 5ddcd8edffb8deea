#include "tests/support/EmulatedAdapter.h"

#include "adapter/Uch_spi.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Frames = std::vector<std::string>;

// Frames without the status polls of SPIWaitReady.
Frames withoutPolls(Frames frames)
{
    std::erase_if(frames, [](const std::string& f) { return f == "05 00"; });
    return frames;
}

TEST(SpiFrames, IdentificationReads)
{
    EmulatedAdapter adapter(SpiChip("ID_SPI1", 1u << 20, 256, "EF4014"));
    Ch341Library& lib = adapter.device;
    std::array<uint8_t, 3> jedec{};
    std::array<uint8_t, 2> res{}, rems{};
    std::array<uint8_t, 8> unique{};
    ASSERT_TRUE(SPIReadJedecId(lib, jedec));
    ASSERT_TRUE(SPIReadResId(lib, res));
    ASSERT_TRUE(SPIReadRemsId(lib, rems));
    ASSERT_TRUE(SPIReadUniqueId(lib, unique));
    EXPECT_EQ(adapter.frames(), (Frames{"9F 00 00 00", "AB 00 00 00 00 00", "90 00 00 00 00 00",
                                        "4B 00 00 00 00 00 00 00 00 00 00 00 00"}));
    EXPECT_EQ(jedec, (std::array<uint8_t, 3>{0xEF, 0x40, 0x14}));
    EXPECT_EQ(res, (std::array<uint8_t, 2>{0x13, 0x13}));
    EXPECT_EQ(rems, (std::array<uint8_t, 2>{0xEF, 0x13}));
    EXPECT_EQ(unique, adapter.emulator->config().uniqueId);
}

TEST(SpiFrames, ReadHeadersOfTheFiveAddressModes)
{
    struct Case {
        const char* kind; // the emulated chip
        SpiAddressMode mode;
        uint32_t size;
        uint32_t address;
        std::vector<std::string> frames;
    } cases[] = {
        {"ID_SPI1", SpiAddress3, 1u << 20, 0x012345, {"03 01 23 45 00 00"}},
        {"ID_SPI2", SpiAddress2, 32768, 0x1234, {"03 12 34 00 00"}},
        {"ID_SPI22", SpiAddress1, 512, 0x0F0, {"03 F0 00 00"}},
        {"ID_SPI22", SpiAddress1, 512, 0x1F0, {"0B F0 00 00"}},
        {"ID_SPI24", SpiAddress4Mode, 32u << 20, 0x01234567, {"13 01 23 45 67 00 00"}},
        {"ID_SPI25", SpiAddress4Opcode, 32u << 20, 0x01234567, {"13 01 23 45 67 00 00"}},
    };
    for (const Case& c : cases) {
        EmulatedAdapter adapter(SpiChip(c.kind, c.size, 16));
        auto memory = adapter.emulator->memory();
        memory[c.address] = 0x12;
        memory[c.address + 1] = 0x34;
        uint8_t data[2] = {};
        adapter.device.CH341SetStream(AdapterIndex, SpiStreamTransfer);
        ASSERT_TRUE(SPIReadBlock(adapter.device, c.address, data, c.mode)) << c.kind;
        EXPECT_EQ(adapter.frames(), c.frames) << c.kind;
        EXPECT_EQ(data[0], 0x12) << c.kind;
        EXPECT_EQ(data[1], 0x34) << c.kind;
    }
}

TEST(SpiFrames, ProgramFramesOfTheFiveAddressModes)
{
    struct Case {
        const char* kind; // the emulated chip
        SpiAddressMode mode;
        uint32_t address;
        Frames frames;
    } cases[] = {
        {"ID_SPI1", SpiAddress3, 0x000100, {"06", "02 00 01 00 AA 55"}},
        {"ID_SPI2", SpiAddress2, 0x0100, {"06", "02 01 00 AA 55"}},
        {"ID_SPI22", SpiAddress1, 0x100, {"06", "0A 00 AA 55"}},
        {"ID_SPI22", SpiAddress1, 0x010, {"06", "02 10 AA 55"}},
        {"ID_SPI24", SpiAddress4Mode, 0x100, {"06", "B7", "02 00 00 01 00 AA 55"}},
        {"ID_SPI25", SpiAddress4Opcode, 0x100, {"06", "12 00 00 01 00 AA 55"}},
    };
    for (const Case& c : cases) {
        const bool big = c.kind == std::string("ID_SPI24") || c.kind == std::string("ID_SPI25");
        EmulatedAdapter adapter(SpiChip(c.kind, big ? 32u << 20 : 512, 16));
        const uint8_t data[2] = {0xAA, 0x55};
        adapter.device.CH341SetStream(AdapterIndex, SpiStreamTransfer);
        ASSERT_TRUE(SPIProgramPage(adapter.device, c.address, data, c.mode)) << c.kind;
        EXPECT_EQ(withoutPolls(adapter.frames()), c.frames) << c.kind;
        EXPECT_EQ(adapter.emulator->memory()[c.address], 0xAA) << c.kind;
        EXPECT_EQ(adapter.emulator->memory()[c.address + 1], 0x55) << c.kind;
    }
}

TEST(SpiFrames, RegisterOperations)
{
    EmulatedAdapter adapter(SpiChip());
    Ch341Library& lib = adapter.device;
    uint8_t value = 0xFF;
    ASSERT_TRUE(SPIReadRegister(lib, 0x35, value));
    EXPECT_EQ(adapter.frames(), (Frames{"35 00"}));
    ASSERT_TRUE(SPIWriteRegister(lib, 0x01, 0x1C));
    EXPECT_EQ(withoutPolls(adapter.frames()), (Frames{"06", "01 1C", "04"}));
    ASSERT_TRUE(SPIWriteStatusPair(lib, 0x00, 0x02));
    EXPECT_EQ(adapter.frames(), (Frames{"06", "01 00 02", "04"}));
    ASSERT_TRUE(SPIReadRegister(lib, 0x35, value));
    EXPECT_EQ(value, 0x02);
}

TEST(SpiFrames, EwsrStatusWriteReachesAnSstChip)
{
    EmulatedAdapter adapter(*MakeEmulatedChipConfig({"", "ID_SPI3", 512 * 1024, 256, "BF258D", 1, ""}));
    Ch341Library& lib = adapter.device;
    uint8_t status = 0;
    ASSERT_TRUE(SPIReadRegister(lib, 0x05, status));
    EXPECT_EQ(status & 0x1C, 0x1C) << "SST parts power up protected";
    adapter.frames();
    ASSERT_TRUE(SPIWriteStatusEWSR(lib, 0x01, 0x00));
    EXPECT_EQ(withoutPolls(adapter.frames()), (Frames{"06", "50", "01 00", "04"}));
    ASSERT_TRUE(SPIReadRegister(lib, 0x05, status));
    EXPECT_EQ(status, 0x00);
}

TEST(SpiFrames, AaiBlockIs130FramesBesidesPolls)
{
    EmulatedAdapter adapter(SpiChip("ID_SPI3", 512 * 1024, 256, "BF258D"));
    ASSERT_TRUE(SPIWriteStatusEWSR(adapter.device, 0x01, 0x00));
    adapter.frames();
    std::array<uint8_t, 256> block;
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i ^ 0x5A);
    ASSERT_TRUE(SPIProgramAAI(adapter.device, 0x1000, block));

    const Frames frames = withoutPolls(adapter.frames());
    ASSERT_EQ(frames.size(), 130u);
    EXPECT_EQ(frames[0], "06");
    EXPECT_EQ(frames[1], "AD 00 10 00 5A 5B");
    EXPECT_EQ(frames[2], "AD 58 59");
    EXPECT_EQ(frames[128], "AD A4 A5");
    EXPECT_EQ(frames[129], "04");
    EXPECT_TRUE(std::equal(block.begin(), block.end(), adapter.emulator->memory().begin() + 0x1000));
}

TEST(SpiFrames, ReadBlockLengthLimits)
{
    EmulatedAdapter adapter(SpiChip());
    std::vector<uint8_t> data(4097);
    adapter.device.CH341SetStream(AdapterIndex, SpiStreamTransfer);
    EXPECT_TRUE(SPIReadBlock(adapter.device, 0, std::span(data).first(4096), SpiAddress3));
    const Frames frames = adapter.frames();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].size(), 4100u * 3 - 1);
    EXPECT_FALSE(SPIReadBlock(adapter.device, 0, data, SpiAddress3));
    EXPECT_FALSE(SPIReadBlock(adapter.device, 0, std::span(data).first(0), SpiAddress3));
    EXPECT_FALSE(SPIReadBlock(adapter.device, 0, std::span(data).first(16), static_cast<SpiAddressMode>(6)));
    EXPECT_TRUE(adapter.frames().empty());
}

// Reads straight into a larger buffer never touch the bytes after the requested range.
TEST(SpiFrames, ReadBlockStaysInsideItsDestination)
{
    EmulatedAdapter adapter(SpiChip("ID_SPI25", 32u << 20, 256, "EF4019"));
    std::vector<uint8_t> image(64 + 8, 0xEE);
    adapter.device.CH341SetStream(AdapterIndex, SpiStreamTransfer);
    auto memory = adapter.emulator->memory();
    std::fill_n(memory.begin(), 64, 0x11);
    ASSERT_TRUE(SPIReadBlock(adapter.device, 0, std::span(image).first(64), SpiAddress4Opcode));
    EXPECT_TRUE(std::all_of(image.begin(), image.begin() + 64, [](uint8_t b) { return b == 0x11; }));
    EXPECT_TRUE(std::all_of(image.begin() + 64, image.end(), [](uint8_t b) { return b == 0xEE; }));
}

TEST(SpiFrames, PagesLargerThan295BytesProgramWhole)
{
    EmulatedChipConfig config = SpiChip("ID_SPI1", 1u << 20, 512);
    EmulatedAdapter adapter(config);
    std::vector<uint8_t> page(512);
    adapter.device.CH341SetStream(AdapterIndex, SpiStreamTransfer);
    for (std::size_t i = 0; i < page.size(); ++i) page[i] = static_cast<uint8_t>(i * 7);
    ASSERT_TRUE(SPIProgramPage(adapter.device, 0x400, page, SpiAddress3));
    EXPECT_TRUE(std::equal(page.begin(), page.end(), adapter.emulator->memory().begin() + 0x400));
}

TEST(SpiFrames, WaitReadyGivesUpWhenTheChipStaysBusy)
{
    EmulatedChipConfig config = SpiChip();
    config.chipEraseTime = std::chrono::hours(1);
    EmulatedAdapter adapter(config, 1.0);
    uint8_t erase[] = {0x06};
    adapter.device.CH341SetStream(AdapterIndex, SpiStreamTransfer);
    adapter.device.CH341StreamSPI4(AdapterIndex, SpiChipSelect0, erase);
    uint8_t chipErase[] = {0xC7};
    adapter.device.CH341StreamSPI4(AdapterIndex, SpiChipSelect0, chipErase);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(SPIWaitReady(adapter.device, std::chrono::milliseconds(50)));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_GE(SpiEraseTimeout(32u << 20), std::chrono::seconds(400));
}

TEST(SpiFrames, WaitReadyFailsWhenAPollFails)
{
    EmulatedAdapter adapter(SpiChip());
    adapter.emulator->unplug();
    EXPECT_FALSE(SPIWaitReady(adapter.device));
    std::array<uint8_t, 3> id{};
    EXPECT_FALSE(SPIReadJedecId(adapter.device, id));
}

} // namespace
