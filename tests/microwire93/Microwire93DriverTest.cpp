// The 93Cxx driver over the CH341A's pin bus and the emulated CH341A with a 93Cxx in the socket:
// every row of the database, the empty socket, a chip that stays busy, and the cost of a read.
#include "microwire93/Microwire93Driver.h"
#include "adapter/ch341a/Ch341Adapter.h"
#include "adapter/emulator/EmulatedCh341.h"
#include "chipdb/ChipKind.h"
#include "tests/support/StarterRows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

using family::Failure;
using microwire93::Microwire93Driver;

// The emulated adapter on its virtual clock, moved only by the adapter's and the chip's own
// times: write cycles and busy limits pass without sleeping, and alike on every run.
struct Socket {
    explicit Socket(EmulatedChipConfig config)
        : emulator(std::make_shared<EmulatedCh341>(std::move(config), 1.0, AdapterPace::RealAdapter)), adapter(emulator)
    {
        adapter.open();
    }
    std::shared_ptr<EmulatedCh341> emulator;
    Ch341Adapter adapter;
};

chipdb::ChipRecord Row(const char* name)
{
    const auto rows = StarterRows([name](const chipdb::ChipRecord& row) { return row.CHIPTEXT == name; });
    return rows.empty() ? chipdb::ChipRecord{} : rows.front();
}

std::vector<uint8_t> Pattern(std::size_t size)
{
    std::vector<uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = uint8_t(i * 37 + (i >> 8) + 5);
    return bytes;
}

// Counts what a driver reports and stops it when told to.
struct CountingProgress final : family::Progress {
    void advance(uint64_t bytes) override { advanced += bytes; }
    void tick() override { ++ticks; }
    bool cancelRequested() override { return advanced >= cancelAfter; }
    uint64_t advanced = 0, ticks = 0, cancelAfter = UINT64_MAX;
};

bool AllBytes(std::span<const uint8_t> bytes, uint8_t value)
{
    return std::all_of(bytes.begin(), bytes.end(), [value](uint8_t b) { return b == value; });
}

TEST(Microwire93Driver, EveryRowWritesReadsAndErasesByteExact)
{
    const auto rows = StarterRows([](const chipdb::ChipRecord& row) { return chipdb::isMicrowireChip(row.CHIPID); });
    ASSERT_EQ(rows.size(), 12u);
    for (const chipdb::ChipRecord& row : rows) {
        SCOPED_TRACE(row.CHIPTEXT);
        Socket socket(*EmulatedRow(row));
        Microwire93Driver driver(chipdb::ChipFromRecord(row), *socket.adapter.pins());
        const std::vector<uint8_t> image = Pattern(driver.chip().size);

        CountingProgress progress;
        const family::Result written = driver.program(0, image, progress);
        ASSERT_TRUE(written) << int(written.failure().cause) << " at " << written.failure().address;
        EXPECT_EQ(progress.advanced, image.size());
        EXPECT_TRUE(std::ranges::equal(socket.emulator->memory(), image));

        std::vector<uint8_t> read(image.size());
        ASSERT_TRUE(driver.read(0, read, progress));
        EXPECT_EQ(read, image);
        // A range that starts and ends inside words.
        std::vector<uint8_t> middle(7);
        ASSERT_TRUE(driver.read(3, middle, progress));
        EXPECT_TRUE(std::equal(middle.begin(), middle.end(), image.begin() + 3));

        ASSERT_TRUE(driver.erase(progress));
        EXPECT_TRUE(AllBytes(socket.emulator->memory(), 0xFF));
        ASSERT_TRUE(driver.read(0, read, progress));
        EXPECT_TRUE(AllBytes(read, 0xFF));
    }
}

TEST(Microwire93Driver, AChipOfOneWordIsFilledByOneInstructionOrWordByWord)
{
    for (const bool bulk : {true, false}) {
        SCOPED_TRACE(bulk ? "ERAL and WRAL taken" : "ERAL and WRAL ignored");
        const chipdb::ChipRecord row = Row("93C86_16");
        EmulatedChipConfig config = *EmulatedRow(row);
        config.microwireBulkInstructions = bulk;
        Socket socket(config);
        Microwire93Driver driver(chipdb::ChipFromRecord(row), *socket.adapter.pins());
        std::ranges::copy(Pattern(2048), socket.emulator->memory().begin());

        CountingProgress progress;
        socket.emulator->resetCounters();
        ASSERT_TRUE(driver.program(0, std::vector<uint8_t>(2048, 0x00), progress));
        EXPECT_TRUE(AllBytes(socket.emulator->memory(), 0x00));
        EXPECT_EQ(progress.advanced, 2048u);
        // WRAL and the read back, against a write cycle for each of the 1024 words.
        if (bulk) EXPECT_LT(socket.emulator->counters().roundTrips, 100u);

        progress = {};
        ASSERT_TRUE(driver.erase(progress));
        EXPECT_TRUE(AllBytes(socket.emulator->memory(), 0xFF));
        EXPECT_EQ(progress.advanced, 2048u);
    }
}

TEST(Microwire93Driver, AnEmptySocketIsNoChip)
{
    const chipdb::ChipRecord row = Row("93C46_16");
    EmulatedChipConfig config = *EmulatedRow(row);
    config.emptySocket = true;
    Socket socket(config);
    Microwire93Driver driver(chipdb::ChipFromRecord(row), *socket.adapter.pins());
    family::NoProgress progress;
    std::vector<uint8_t> read(128);
    const family::Result results[] = {driver.read(4, std::span(read).subspan(4), progress),
                                      driver.program(0, Pattern(128), progress), driver.erase(progress)};
    for (const family::Result& result : results) {
        ASSERT_FALSE(result);
        EXPECT_EQ(result.failure().cause, Failure::Cause::NoChip);
    }
    EXPECT_EQ(results[0].failure().address, 4u);
    family::Identity identity;
    ASSERT_TRUE(driver.identify(identity));
    EXPECT_FALSE(identity.answered);

    socket.emulator->insertChip(*EmulatedRow(row));
    ASSERT_TRUE(driver.identify(identity));
    EXPECT_TRUE(identity.answered);
}

TEST(Microwire93Driver, AChipThatStaysBusyFailsAfterItsLimitInTheAdaptersTime)
{
    const chipdb::ChipRecord row = Row("93C66_8");
    Socket socket(*EmulatedRow(row));
    Microwire93Driver driver(chipdb::ChipFromRecord(row), *socket.adapter.pins());
    const auto limit = driver.chip().busyLimit;
    std::vector<uint8_t> image = Pattern(512);
    CountingProgress progress;
    // Word 16 is the first the busy chip does not finish.
    ASSERT_TRUE(driver.program(0, std::span(image).first(16), progress));
    socket.emulator->armFault(EmulatedFault::ChipStaysBusy, 0);
    const family::Result written = driver.program(16, std::span(image).subspan(16), progress);
    ASSERT_FALSE(written);
    EXPECT_EQ(written.failure().cause, Failure::Cause::StayedBusy);
    EXPECT_EQ(written.failure().address, 16u);
    EXPECT_GE(written.failure().waited, limit);
    EXPECT_LT(written.failure().waited, limit * 2);

    const family::Result erased = driver.erase(progress);
    ASSERT_FALSE(erased);
    EXPECT_EQ(erased.failure().cause, Failure::Cause::StayedBusy);
    EXPECT_GT(progress.ticks, 0u); // the erase's wait shows on the bar

    // A busy chip does not hear READ: the read waits, instead of taking DO's busy level for data.
    std::vector<uint8_t> read(8);
    const family::Result unread = driver.read(8, read, progress);
    ASSERT_FALSE(unread);
    EXPECT_EQ(unread.failure().cause, Failure::Cause::StayedBusy);
    EXPECT_EQ(unread.failure().address, 8u);
}

TEST(Microwire93Driver, AChipThatNeverShowsBusyIsRefusedUnlessItsWordsChanged)
{
    const chipdb::ChipRecord row = Row("93C46_16");
    EmulatedChipConfig config = *EmulatedRow(row);
    config.microwireWriteProtected = true;
    Socket socket(config);
    Microwire93Driver driver(chipdb::ChipFromRecord(row), *socket.adapter.pins());
    family::NoProgress progress;
    const std::vector<uint8_t> image = Pattern(128);
    std::ranges::copy(image, socket.emulator->memory().begin());
    const std::vector<uint8_t> other(8, 0x00);
    for (const family::Result& result : {driver.program(6, other, progress), driver.erase(progress)}) {
        ASSERT_FALSE(result);
        EXPECT_EQ(result.failure().cause, Failure::Cause::Refused);
    }
    EXPECT_TRUE(std::ranges::equal(socket.emulator->memory(), image));

    // A clock so fast that every write cycle is over before the driver looks: the words written
    // show that the chip took them.
    EmulatedChipConfig quick = *EmulatedRow(row);
    auto emulator = std::make_shared<EmulatedCh341>(quick, 1e9);
    Ch341Adapter adapter(emulator);
    adapter.open();
    Microwire93Driver fast(chipdb::ChipFromRecord(row), *adapter.pins());
    ASSERT_TRUE(fast.program(0, Pattern(128), progress));
    EXPECT_TRUE(std::ranges::equal(emulator->memory(), Pattern(128)));
}

TEST(Microwire93Driver, AWhole93C86ReadTakesAFewDozenExchanges)
{
    for (const char* name : {"93C86_8", "93C86_16"}) {
        SCOPED_TRACE(name);
        const chipdb::ChipRecord row = Row(name);
        Socket socket(*EmulatedRow(row));
        std::ranges::copy(Pattern(2048), socket.emulator->memory().begin());
        Microwire93Driver driver(chipdb::ChipFromRecord(row), *socket.adapter.pins());
        std::vector<uint8_t> read(2048);
        family::NoProgress progress;
        socket.emulator->resetCounters();
        ASSERT_TRUE(driver.read(0, read, progress));
        EXPECT_EQ(read, Pattern(2048));
        // One exchange per 64 bytes and the release of the pins, against four per bit sent one pin
        // change at a time.
        EXPECT_EQ(socket.emulator->counters().roundTrips, 2048 / microwire93::ReadChunk + 1);
    }
}

TEST(Microwire93Driver, RefusesWhatDoesNotFitAndStopsWhenAsked)
{
    const chipdb::ChipRecord row = Row("93C56_16");
    Socket socket(*EmulatedRow(row));
    Microwire93Driver driver(chipdb::ChipFromRecord(row), *socket.adapter.pins());
    family::NoProgress none;
    const std::vector<uint8_t> image = Pattern(256);
    std::vector<uint8_t> read(7);
    const family::Result refused[] = {
        driver.program(1, std::span(image).first(2), none),   // not on a word
        driver.program(0, std::span(image).first(3), none),   // not whole words
        driver.program(254, std::span(image).first(4), none), // past the end
        driver.read(250, read, none),
    };
    for (const family::Result& result : refused) {
        ASSERT_FALSE(result);
        EXPECT_EQ(result.failure().cause, Failure::Cause::BadRequest);
    }
    EXPECT_TRUE(AllBytes(socket.emulator->memory(), 0xFF));
    // A chip value of another family has no 93Cxx instructions.
    Microwire93Driver other(chipdb::ChipFromRecord(Row("24C02")), *socket.adapter.pins());
    const family::Result otherRead = other.read(0, read, none);
    ASSERT_FALSE(otherRead);
    EXPECT_EQ(otherRead.failure().cause, Failure::Cause::BadRequest);
    EXPECT_FALSE(other.capabilities().erase);

    CountingProgress progress;
    progress.cancelAfter = 10;
    const family::Result stopped = driver.program(0, image, progress);
    ASSERT_FALSE(stopped);
    EXPECT_EQ(stopped.failure().cause, Failure::Cause::Cancelled);
    EXPECT_EQ(stopped.failure().address, 10u);
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + 10, socket.emulator->memory().begin()));
    EXPECT_TRUE(AllBytes(socket.emulator->memory().subspan(10), 0xFF));
}

} // namespace
