#include "SpiFixture.h"

#include "spi25/SmartWritePlan.h"
#include "spi/SpiSmartWrite.h"
#include "spi/SpiWorkers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

using Kind = SmartWriteStep::Kind;

// The adapter with a chip that has no 4 KiB sectors: the sector erase (20) never reaches it.
class NoSectorErase final : public Ch341Library {
public:
    explicit NoSectorErase(Ch341Library& inner) : inner_(inner) {}
    intptr_t CH341OpenDevice(uint32_t i) override { return inner_.CH341OpenDevice(i); }
    void CH341CloseDevice(uint32_t i) override { inner_.CH341CloseDevice(i); }
    bool CH341ResetDevice(uint32_t i) override { return inner_.CH341ResetDevice(i); }
    bool CH341SetDeviceNotify(uint32_t i, const char* id, DeviceNotify n) override
    {
        return inner_.CH341SetDeviceNotify(i, id, std::move(n));
    }
    bool CH341SetStream(uint32_t i, uint8_t mode) override { return inner_.CH341SetStream(i, mode); }
    bool CH341WriteData(uint32_t i, std::span<const uint8_t> b) override { return inner_.CH341WriteData(i, b); }
    bool CH341WriteRead(uint32_t i, std::span<const uint8_t> w, uint32_t step, uint32_t count, uint32_t& length,
                        std::span<uint8_t> reply) override
    {
        return inner_.CH341WriteRead(i, w, step, count, length, reply);
    }
    bool CH341StreamSPI4(uint32_t i, uint32_t cs, std::span<uint8_t> b) override
    {
        return (!b.empty() && b[0] == 0x20) || inner_.CH341StreamSPI4(i, cs, b);
    }
    bool CH341SetDelaymS(uint32_t i, uint32_t ms) override { return inner_.CH341SetDelaymS(i, ms); }
    bool CH341ReadEEPROM(uint32_t i, uint8_t t, uint32_t a, std::span<uint8_t> b) override
    {
        return inner_.CH341ReadEEPROM(i, t, a, b);
    }
    bool CH341WriteEEPROM(uint32_t i, uint8_t t, uint32_t a, std::span<const uint8_t> b) override
    {
        return inner_.CH341WriteEEPROM(i, t, a, b);
    }
    UsbStatus lastStatus() const override { return inner_.lastStatus(); }

private:
    Ch341Library& inner_;
};

// A chip of two 16-byte erase blocks with 4-byte units; `edit` changes the target.
struct PlanCase {
    const char* name;
    uint32_t eraseBlock;
    std::function<void(std::vector<uint8_t>& chip, std::vector<uint8_t>& target)> edit;
    std::vector<SmartWriteStep> steps;
    std::vector<SmartWriteRange> touched;
};

} // namespace

TEST(SmartWritePlan, ErasesOnlyWhereABitMustRiseAndProgramsOnlyWhatDiffers)
{
    const std::vector<PlanCase> cases = {
        {"equal images: nothing", 16, [](auto&, auto&) {}, {}, {}},
        {"1->0 only: the unit is programmed without an erase",
         16,
         [](auto&, auto& t) { t[5] = 0x00; },
         {{Kind::Program, 4, 4}},
         {{4, 4}}},
        {"0->1: the block is erased and its units that are not all FF programmed",
         16,
         [](auto& c, auto& t) {
             c[20] = 0x00;
             t[20] = 0x01; // needs a rise
             std::fill_n(t.begin() + 24, 4, 0xFF);
         },
         {{Kind::Erase, 16, 16}, {Kind::Program, 16, 4}, {Kind::Program, 20, 4}, {Kind::Program, 28, 4}},
         {{16, 16}}},
        {"a unit turning all FF makes its block erased",
         16,
         [](auto&, auto& t) { std::fill_n(t.begin(), 4, 0xFF); },
         {{Kind::Erase, 0, 16}, {Kind::Program, 4, 4}, {Kind::Program, 8, 4}, {Kind::Program, 12, 4}},
         {{0, 16}}},
        {"whole-chip erase: one erase, then every unit not all FF",
         32,
         [](auto& c, auto& t) {
             c[3] = 0x00;
             std::fill_n(t.begin() + 8, 4, 0xFF);
         },
         {{Kind::Erase, 0, 32},
          {Kind::Program, 0, 4},
          {Kind::Program, 4, 4},
          {Kind::Program, 12, 4},
          {Kind::Program, 16, 4},
          {Kind::Program, 20, 4},
          {Kind::Program, 24, 4},
          {Kind::Program, 28, 4}},
         {{0, 32}}},
        {"no erase (EEPROM): differing units, rises included, adjacent ranges merged",
         0,
         [](auto& c, auto& t) {
             c[0] = 0x00;
             t[4] = 0x7F;
             t[31] = 0x00;
         },
         {{Kind::Program, 0, 4}, {Kind::Program, 4, 4}, {Kind::Program, 28, 4}},
         {{0, 8}, {28, 4}}},
    };
    for (const PlanCase& c : cases) {
        std::vector<uint8_t> chip(32), target;
        for (std::size_t i = 0; i < chip.size(); ++i) chip[i] = uint8_t(0x80 | i); // never all FF
        target = chip;
        c.edit(chip, target);
        const SmartWritePlan plan = PlanSmartWrite(chip, target, {32, 4, c.eraseBlock});
        EXPECT_EQ(plan.steps, c.steps) << c.name;
        EXPECT_EQ(plan.touched, c.touched) << c.name;
        // Carrying out the plan leaves the chip equal to the target.
        for (const SmartWriteStep& step : plan.steps)
            for (uint32_t i = step.address; i < step.address + step.length; ++i)
                chip[i] =
                    step.kind == Kind::Erase ? 0xFF : uint8_t(c.eraseBlock == 0 ? target[i] : chip[i] & target[i]);
        EXPECT_EQ(chip, target) << c.name;
    }
}

TEST(SmartWritePlan, GeometryOfEachKindAndUnusableGeometryPlansNothing)
{
    EXPECT_EQ(SpiSmartWriteGeometry("ID_SPI1", 1u << 20, 256).eraseBlock, 4096u);
    EXPECT_EQ(SpiSmartWriteGeometry("ID_SPI25", 32u << 20, 256).eraseBlock, 4096u);
    EXPECT_EQ(SpiSmartWriteGeometry("ID_SPI1", 2048, 256).eraseBlock, 2048u); // smaller than a sector
    EXPECT_EQ(SpiSmartWriteGeometry("ID_SPI2", 32768, 64).eraseBlock, 0u);
    EXPECT_EQ(SpiSmartWriteGeometry("ID_SPI3", 2u << 20, 0).programUnit, 256u);
    const std::vector<uint8_t> chip(64, 0x00), target(64, 0xFF);
    EXPECT_TRUE(PlanSmartWrite(chip, target, {64, 0, 16}).steps.empty());
    EXPECT_TRUE(PlanSmartWrite(chip, target, {64, 8, 12}).steps.empty());  // units straddle blocks
    EXPECT_TRUE(PlanSmartWrite(chip, target, {128, 8, 16}).steps.empty()); // images too short
}

// The worker on every programmable kind: a changed image ends on the chip, with the erase opcode
// of the kind, only the changed sectors erased and only differing pages programmed.
TEST(SmartWriteWorker, WritesOnlyChangedSectorsOfEveryKind)
{
    struct Case {
        const char* kind;
        uint32_t size, page;
        const char* signature;
        std::string eraseFrame; // first bytes of the sector erase, "" for none
    };
    const Case cases[] = {
        {"ID_SPI1", 64 * 1024, 256, "EF4014", "20 00 30 00"},
        {"ID_SPI24", 64 * 1024, 256, "EF4019", "20 00 00 30 00"},
        {"ID_SPI25", 64 * 1024, 256, "012019", "21 00 00 30 00"},
        {"ID_SPI3", 64 * 1024, 256, "BF2541", "20 00 30 00"},
        {"ID_SPI2", 32 * 1024, 64, "", ""},
    };
    for (const Case& c : cases) {
        EmulatedSpi spi(SpiChip(c.kind, c.size, c.page, c.signature));
        std::vector<uint8_t> old(c.size);
        for (uint32_t i = 0; i < c.size; ++i) old[i] = uint8_t(i * 7 + (i >> 9));
        std::copy(old.begin(), old.end(), spi.chip().begin());
        std::vector<uint8_t> target = old;
        target[0x3010] = uint8_t(~old[0x3010]); // rises and falls: sector 3 is erased
        target[0x5020] = 0x00;                  // falls only: one page programmed, no erase

        auto job = std::make_shared<SpiSmartWriteJob>();
        job->chip = std::make_shared<std::vector<uint8_t>>(old);
        WorkerRun run;
        spi.frames();
        run.run(SpiSmartWriteWorker(spi.device, job), {c.size, uint16_t(c.page), c.kind, 0, target.data()});
        ASSERT_EQ(run.last().lParam, WriteFinished) << c.kind;
        EXPECT_TRUE(std::ranges::equal(spi.chip(), target)) << c.kind;
        EXPECT_EQ(*job->chip, target) << c.kind << ": the read-back holds the chip";

        const auto frames = spi.framesWithoutPolls();
        const auto erases = std::count_if(frames.begin(), frames.end(), [](const std::string& f) {
            return f.starts_with("20 ") || f.starts_with("21 ") || f == "C7";
        });
        if (c.eraseFrame.empty()) {
            EXPECT_EQ(erases, 0) << c.kind;
            EXPECT_EQ(job->plan.programs, 2u) << c.kind;
        } else {
            EXPECT_EQ(erases, 1) << c.kind;
            EXPECT_NE(std::ranges::find_if(frames, [&](const std::string& f) { return f.starts_with(c.eraseFrame); }),
                      frames.end())
                << c.kind;
            EXPECT_EQ(job->plan.programs, 4096 / 256 + 1) << c.kind;
        }
    }
}

// Without a known image the chip is read first; a cancel leaves the chip write-disabled.
TEST(SmartWriteWorker, ReadsFirstWhenAskedAndStopsOnCancel)
{
    EmulatedSpi spi(SpiChip());
    const uint32_t size = 1u << 20;
    std::fill(spi.chip().begin(), spi.chip().end(), 0x00);
    std::vector<uint8_t> target(size, 0x00);
    std::fill_n(target.begin() + 0x8000, 0x2000, 0x5A);

    auto job = std::make_shared<SpiSmartWriteJob>();
    job->chip = std::make_shared<std::vector<uint8_t>>(size, 0xFF); // no knowledge: to be read
    job->readFirst = true;
    WorkerRun run;
    run.run(SpiSmartWriteWorker(spi.device, job), {size, 256, "ID_SPI1", 0, target.data()});
    ASSERT_EQ(run.last().lParam, WriteFinished);
    EXPECT_TRUE(std::ranges::equal(spi.chip(), target));
    EXPECT_EQ(job->plan.erases, 2u);
    EXPECT_EQ(uint32_t(run.sink.count(ProgressStep)), SpiSmartWriteSteps(size, true, true));

    std::fill(target.begin(), target.end(), 0x11);
    job->chip = std::make_shared<std::vector<uint8_t>>(target.size());
    WorkerRun cancelled;
    cancelled.cancelAt(ProgressStep, 300); // in the writing phase
    spi.frames();
    cancelled.run(SpiSmartWriteWorker(spi.device, job), {size, 256, "ID_SPI1", 0, target.data()});
    EXPECT_EQ(cancelled.last().lParam, WriteCancelled);
    EXPECT_EQ(spi.framesWithoutPolls().back(), "04");
}

// A chip that ignores the sector erase is seen at the first one: it is erased whole and every
// page that is not blank written again, and all of it read back.
TEST(SmartWriteWorker, AChipWithoutSectorEraseIsErasedWhole)
{
    EmulatedSpi spi(SpiChip());
    const uint32_t size = 1u << 20;
    std::vector<uint8_t> old(size);
    for (uint32_t i = 0; i < size; ++i) old[i] = uint8_t(i * 7 + (i >> 9));
    std::copy(old.begin(), old.end(), spi.chip().begin());
    std::vector<uint8_t> target = old;
    target[0x7000] = uint8_t(~old[0x7000]);
    std::fill_n(target.begin() + 0x20000, 0x1000, 0xFF);

    auto job = std::make_shared<SpiSmartWriteJob>();
    job->chip = std::make_shared<std::vector<uint8_t>>(old);
    NoSectorErase library(spi.device);
    WorkerRun run;
    spi.frames();
    run.run(SpiSmartWriteWorker(library, job), {size, 256, "ID_SPI1", 0, target.data()});
    ASSERT_EQ(run.last().lParam, WriteFinished);
    EXPECT_TRUE(job->sectorEraseRefused);
    EXPECT_TRUE(std::ranges::equal(spi.chip(), target));
    EXPECT_EQ(*job->chip, target);
    const auto frames = spi.framesWithoutPolls();
    EXPECT_EQ(std::ranges::count(frames, std::string("C7")), 1);
    EXPECT_EQ(job->plan.touched, (std::vector<SmartWriteRange>{{0, size}}));
}
