// The 24xx driver over the CH341A's I2C master: reads, page writes and how they fail.
#include "i2c24/I2c24Driver.h"
#include "adapter/ch341a/Ch341I2cMaster.h"
#include "tests/support/EmulatedAdapter.h"

#include <gtest/gtest.h>

namespace {

using family::Failure;

chipdb::Chip Eeprom(const char* name, const char* kind, uint32_t size, uint32_t page)
{
    chipdb::ChipRecord row;
    row.CHIPTEXT = name;
    row.CHIPID = kind;
    row.CHIPSIZE = size;
    row.PAGESIZE = page;
    return chipdb::ChipFromRecord(row);
}

std::vector<uint8_t> Pattern(std::size_t size)
{
    std::vector<uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = uint8_t(i * 7 + (i >> 8) + 1);
    return bytes;
}

TEST(I2c24Driver, WritesAndReadsEachAddressingWithAndWithoutAcknowledgements)
{
    const struct {
        const char *name, *kind;
        uint32_t size, page;
    } cases[] = {{"24C02", "ID_24C02", 256, 8}, {"24C16", "ID_24C16", 2048, 16}, {"24C256", "ID_24C256", 32768, 64}};
    for (const auto& c : cases)
        for (const bool checked : {true, false}) {
            SCOPED_TRACE(std::string(c.name) + (checked ? " checked" : " fast"));
            EmulatedAdapter adapter(I2cChip(c.kind, c.size, c.page));
            Ch341I2cMaster i2c(adapter.device);
            i2c24::I2c24Driver driver(Eeprom(c.name, c.kind, c.size, c.page), i2c, 0xA0, checked);
            family::NoProgress progress;
            const std::vector<uint8_t> image = Pattern(c.size);
            ASSERT_TRUE(driver.program(0, image, progress));
            EXPECT_TRUE(std::equal(image.begin(), image.end(), adapter.chip().begin()));
            std::vector<uint8_t> read(c.size);
            ASSERT_TRUE(driver.read(0, read, progress));
            EXPECT_EQ(read, image);
        }
}

TEST(I2c24Driver, ARefusedByteAndAnEndlessWriteCycleAreNamed)
{
    EmulatedAdapter adapter(I2cChip("ID_24C02", 256, 8));
    Ch341I2cMaster i2c(adapter.device);
    i2c24::I2c24Driver driver(Eeprom("24C02", "ID_24C02", 256, 8), i2c, 0xA2); // nobody at 0xA2
    family::NoProgress progress;
    std::vector<uint8_t> read(256);
    const family::Result absent = driver.read(0, read, progress);
    ASSERT_FALSE(absent);
    EXPECT_EQ(absent.failure().cause, Failure::Cause::NotAcknowledged);
    EXPECT_EQ(absent.failure().byte, 0u); // the device byte

    i2c24::I2c24Driver present(Eeprom("24C02", "ID_24C02", 256, 8), i2c, 0xA0);
    adapter.emulator->armFault(EmulatedFault::ChipStaysBusy, 4);
    const family::Result busy = present.program(0, Pattern(256), progress);
    ASSERT_FALSE(busy);
    EXPECT_TRUE(busy.failure().cause == Failure::Cause::StayedBusy ||
                busy.failure().cause == Failure::Cause::NotAcknowledged);
}

} // namespace
