// The 25xx driver over the CH341A's SPI master: what is new below the core (busy chips, failures
// with their causes, the stop of a cancelled program).
#include "spi25/Spi25Driver.h"
#include "spi25/SpiFrames.h"
#include "adapter/ch341a/Ch341SpiMaster.h"
#include "tests/support/EmulatedAdapter.h"

#include <gtest/gtest.h>

namespace {

using family::Failure;

chipdb::Chip FlashChip(uint32_t size = 65536)
{
    chipdb::ChipRecord row;
    row.CHIPTEXT = "W25X05";
    row.CHIPID = "ID_SPI1";
    row.CHIPSIZE = size;
    row.PAGESIZE = 256;
    row.FREQUENCY = 1;
    return chipdb::ChipFromRecord(row);
}

std::vector<uint8_t> Pattern(std::size_t size)
{
    std::vector<uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = uint8_t(i * 31 + (i >> 8) + 1);
    return bytes;
}

// Stops after `limit` bytes.
struct StopAfter : family::Progress {
    uint64_t limit, done = 0;
    explicit StopAfter(uint64_t bytes) : limit(bytes) {}
    void advance(uint64_t bytes) override { done += bytes; }
    bool cancelRequested() override { return done >= limit; }
};

struct Rig {
    explicit Rig(uint32_t size = 65536) : adapter(SpiChip("ID_SPI1", size, 256, "EF3010")), spi(adapter.device) {}
    EmulatedAdapter adapter;
    Ch341SpiMaster spi;
    spi25::Spi25Driver driver{FlashChip(), spi};
    family::NoProgress progress;
};

TEST(Spi25Driver, ProgramsReadsAndErases)
{
    Rig rig;
    const std::vector<uint8_t> image = Pattern(65536);
    ASSERT_TRUE(rig.driver.program(0, image, rig.progress));
    std::vector<uint8_t> read(65536);
    ASSERT_TRUE(rig.driver.read(0, read, rig.progress));
    EXPECT_EQ(read, image);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), rig.adapter.chip().begin()));

    ASSERT_TRUE(rig.driver.eraseSectors(4096, 4096, rig.progress));
    EXPECT_TRUE(std::all_of(rig.adapter.chip().begin() + 4096, rig.adapter.chip().begin() + 8192,
                            [](uint8_t b) { return b == 0xFF; }));
    EXPECT_EQ(rig.adapter.chip()[4095], image[4095]);
    ASSERT_TRUE(rig.driver.erase(rig.progress));
    EXPECT_TRUE(std::all_of(rig.adapter.chip().begin(), rig.adapter.chip().end(), [](uint8_t b) { return b == 0xFF; }));

    family::Identity id;
    ASSERT_TRUE(rig.driver.identify(id));
    EXPECT_EQ(id.signature, "EF3010");
}

TEST(Spi25Driver, ACancelledProgramSaysWhereItStoppedAndLeavesTheChipWriteDisabled)
{
    Rig rig;
    StopAfter progress(1024);
    const family::Result result = rig.driver.program(0, Pattern(65536), progress);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.failure().cause, Failure::Cause::Cancelled);
    EXPECT_EQ(result.failure().address, 1024u);
    EXPECT_EQ(rig.adapter.framesWithoutPolls().back(), "04");
}

TEST(Spi25Driver, ABusyChipIsNeverReadAsData)
{
    // Busy for a moment in the middle of the read: the block read meanwhile is read again.
    Rig rig;
    const std::vector<uint8_t> image = Pattern(65536);
    std::copy(image.begin(), image.end(), rig.adapter.chip().begin());
    rig.adapter.emulator->armFault(EmulatedFault::ChipStaysBusy, 200);
    std::vector<uint8_t> read(65536);
    const family::Result stuck = rig.driver.read(0, read, rig.progress);
    ASSERT_FALSE(stuck);
    EXPECT_EQ(stuck.failure().cause, Failure::Cause::StayedBusy);
    EXPECT_GE(stuck.failure().waited, spi25::ShortOperation.limit);
    EXPECT_GT(stuck.failure().address, 0u);
}

TEST(Spi25Driver, AFailedExchangeNamesTheAdaptersReason)
{
    Rig rig;
    rig.adapter.emulator->armFault(EmulatedFault::Pulled, 100);
    std::vector<uint8_t> read(65536);
    const family::Result result = rig.driver.read(0, read, rig.progress);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.failure().cause, Failure::Cause::Link);
    EXPECT_NE(result.failure().link, UsbStatus::Ok);
}

} // namespace
