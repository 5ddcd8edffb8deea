// The chip families over the CH347, unchanged: the 25xx driver (queued block reads with a status
// read behind each, page programs with their polls, erases) and the 24xx driver.
#include "Ch347Rig.h"

#include "i2c24/I2c24Driver.h"
#include "spi25/Spi25Driver.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

chipdb::Chip Chip(const char* name, const char* kind, uint32_t size, uint32_t page)
{
    chipdb::ChipRecord row;
    row.CHIPTEXT = name;
    row.CHIPID = kind;
    row.CHIPSIZE = size;
    row.PAGESIZE = page;
    row.FREQUENCY = 1;
    return chipdb::ChipFromRecord(row);
}

std::vector<uint8_t> Pattern(std::size_t size)
{
    std::vector<uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = uint8_t(i * 31 + (i >> 8) + 1);
    return bytes;
}

bool Erased(std::span<const uint8_t> bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b == 0xFF; });
}

TEST(Ch347Families, The25xxDriverProgramsReadsAndErasesAtEveryClock)
{
    for (const uint32_t hertz : {60'000'000u, 7'500'000u}) {
        SCOPED_TRACE(hertz);
        Ch347Rig rig(SpiChip("ID_SPI1", 65536, 256, "EF3010"));
        ASSERT_TRUE(rig.spi().setClock(hertz));
        spi25::Spi25Driver driver(Chip("W25X05", "ID_SPI1", 65536, 256), rig.spi());
        family::NoProgress progress;
        const std::vector<uint8_t> image = Pattern(65536);
        ASSERT_TRUE(driver.program(0, image, progress));
        EXPECT_TRUE(std::equal(image.begin(), image.end(), rig.chip().begin()));
        std::vector<uint8_t> read(65536);
        ASSERT_TRUE(driver.read(0, read, progress));
        EXPECT_EQ(read, image);

        ASSERT_TRUE(driver.eraseSectors(4096, 4096, progress));
        EXPECT_TRUE(Erased(rig.chip().subspan(4096, 4096)));
        EXPECT_EQ(rig.chip()[4095], image[4095]);
        ASSERT_TRUE(driver.erase(progress));
        EXPECT_TRUE(Erased(rig.chip()));

        family::Identity id;
        ASSERT_TRUE(driver.identify(id));
        EXPECT_EQ(id.signature, "EF3010");
    }
}

TEST(Ch347Families, The25xxReaderRereadsABlockReadWhileTheChipWasBusy)
{
    Ch347Rig rig(SpiChip("ID_SPI1", 65536, 256, "EF3010"));
    const std::vector<uint8_t> image = Pattern(65536);
    std::copy(image.begin(), image.end(), rig.chip().begin());
    spi25::Spi25Driver driver(Chip("W25X05", "ID_SPI1", 65536, 256), rig.spi());
    family::NoProgress progress;
    rig.emulator->armFault(EmulatedFault::ChipStaysBusy, 40);
    std::vector<uint8_t> read(65536);
    const family::Result stuck = driver.read(0, read, progress);
    ASSERT_FALSE(stuck);
    EXPECT_EQ(stuck.failure().cause, family::Failure::Cause::StayedBusy);
    EXPECT_GT(stuck.failure().address, 0u);
}

TEST(Ch347Families, The24xxDriverWritesAndReadsWithAndWithoutAcknowledgements)
{
    const struct {
        const char *name, *kind;
        uint32_t size, page;
    } cases[] = {{"24C02", "ID_24C02", 256, 8}, {"24C16", "ID_24C16", 2048, 16}, {"24C256", "ID_24C256", 32768, 64}};
    for (const auto& c : cases)
        for (const bool checked : {true, false}) {
            SCOPED_TRACE(std::string(c.name) + (checked ? " checked" : " fast"));
            Ch347Rig rig(I2cChip(c.kind, c.size, c.page));
            ASSERT_TRUE(rig.i2c().setSpeed(2));
            i2c24::I2c24Driver driver(Chip(c.name, c.kind, c.size, c.page), rig.i2c(), 0xA0, checked);
            family::NoProgress progress;
            const std::vector<uint8_t> image = Pattern(c.size);
            ASSERT_TRUE(driver.program(0, image, progress));
            EXPECT_TRUE(std::equal(image.begin(), image.end(), rig.chip().begin()));
            std::vector<uint8_t> read(c.size);
            ASSERT_TRUE(driver.read(0, read, progress));
            EXPECT_EQ(read, image);
        }

    // Nobody at 0xA2: the device byte is named.
    Ch347Rig rig(I2cChip("ID_24C02", 256, 8));
    i2c24::I2c24Driver absent(Chip("24C02", "ID_24C02", 256, 8), rig.i2c(), 0xA2);
    family::NoProgress progress;
    std::vector<uint8_t> read(256);
    const family::Result result = absent.read(0, read, progress);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.failure().cause, family::Failure::Cause::NotAcknowledged);
    EXPECT_EQ(result.failure().byte, 0u);
}

} // namespace
