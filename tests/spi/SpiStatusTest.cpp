#include "SpiFixture.h"
#include "tests/support/StarterRows.h"

#include "adapter/Uch_spi.h"
#include "spi/SpiStatus.h"
#include "spi/SpiUnprotect.h"
#include "spi/SpiWorkers.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Frames = std::vector<std::string>;

LogLine Red(const char* text)
{
    return {SameText(text), true};
}

EmulatedChipConfig ChipWithStatus(const char* kind, std::array<uint8_t, 3> status)
{
    EmulatedChipConfig config = SpiChip(kind, 65536);
    config.initialStatus = status;
    return config;
}

} // namespace

TEST(SpiStatus, WriteAndReadBackByRegisterCount)
{
    struct Case {
        int count;
        const char* kind;
        std::array<uint8_t, 3> written;
        Frames writeFrames; // polls left out
        Frames readFrames;
        int registersRead;
    } cases[] = {
        {1, "ID_SPI1", {0x0C, 0x02, 0x60}, {"06", "01 0C", "04"}, {"05 00"}, 1},
        // The adapter sends the enable (50) as a frame of its own, as these chips require.
        {1, "ID_SPI3", {0x0C, 0x02, 0x60}, {"06", "50", "01 0C", "04"}, {"05 00"}, 1},
        {2, "ID_SPI1", {0x0C, 0x02, 0x60}, {"06", "01 0C 02", "04"}, {"05 00", "35 00"}, 2},
        {3,
         "ID_SPI1",
         {0x0C, 0x02, 0x60},
         {"06", "01 0C", "04", "06", "31 02", "04", "06", "11 60", "04"},
         {"05 00", "35 00", "15 00"},
         3},
        {4, "ID_SPI1", {0x0C, 0x02, 0x60}, {}, {"05 00", "35 00"}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.count) + " " + c.kind);
        EmulatedSpi spi(ChipWithStatus(c.kind, {0, 0, 0}));
        SpiLog log;
        WriteStatusRegisters(spi.device, StatusShadow{c.written}, c.count, c.kind, log);
        const Frames frames = spi.frames();
        if (c.count == 2) {
            EXPECT_EQ(frames, c.writeFrames); // no ready wait at all
            SPIWaitReady(spi.device);
            spi.frames();
        }
        auto withoutPolls = frames;
        std::erase(withoutPolls, std::string("05 00"));
        EXPECT_EQ(withoutPolls, c.writeFrames);

        const StatusReadResult read = ReadStatusRegisters(spi.device, c.count, log);
        EXPECT_EQ(spi.frames(), c.readFrames);
        EXPECT_FALSE(read.failed);
        ASSERT_EQ(read.registersRead, c.registersRead);
        StatusShadow shadow{{0xAA, 0xAA, 0xAA}};
        ApplyStatusRead(shadow, read);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(shadow.SR[i], i >= c.registersRead ? 0xAA : c.count == 4 ? 0x00 : c.written[i]) << i;
        EXPECT_TRUE(log.empty());
    }
}

TEST(SpiStatus, FailuresAreReportedPerRegister)
{
    EmulatedSpi spi(ChipWithStatus("ID_SPI1", {0, 0, 0}));
    spi.emulator->unplug();
    const StatusShadow shadow{{1, 2, 3}};
    const LogLine bang = Red("Ошибка записи регистра статуса!");
    struct Case {
        int count;
        SpiLog log;
    } cases[] = {
        {1, {bang}},
        {2, {}},
        {3, {bang, bang, Red("Ошибка записи регистра статуса")}},
    };
    for (const Case& c : cases) {
        SpiLog log;
        WriteStatusRegisters(spi.device, shadow, c.count, "ID_SPI1", log);
        EXPECT_EQ(log, c.log) << c.count;
    }
    SpiLog log;
    const StatusReadResult read = ReadStatusRegisters(spi.device, 3, log);
    EXPECT_TRUE(read.failed);
    EXPECT_EQ(read.registersRead, 0);
    EXPECT_EQ(log, SpiLog{Red("Ошибка чтения регистра статуса!")});
}

TEST(SpiStatus, ReadCommandLines)
{
    const StatusShadow shadow{{0x1C, 0x02, 0xA0}};
    EXPECT_EQ(StatusRegisterLines(shadow, 1)->text.en, "\nStatus Register1 = 0x1C");
    EXPECT_EQ(StatusRegisterLines(shadow, 3)->text,
              (TextPair{"\nStatus Register1 = 0x1C\nStatus Register2 = 0x02\nStatus Register3 = 0xA0",
                        "\nРегистр статуса 1 = 0x1C\nРегистр статуса 2 = 0x02\nРегистр статуса 3 = 0xA0"}));
    EXPECT_FALSE(StatusRegisterLines(shadow, 0));
    EXPECT_FALSE(StatusRegisterLines(shadow, 4));
}

TEST(SpiStatus, CheckBeforeErase)
{
    struct Case {
        const char* name;
        int count;
        std::array<uint8_t, 3> status;
        bool warn;
    } cases[] = {
        {"AT25DF041A", 1, {0x10, 0, 0}, false}, {"at26df081a", 1, {0x10, 0, 0}, false},
        {"AT25DF041A", 1, {0x14, 0, 0}, true},  {"W25Q64", 1, {0x10, 0, 0}, true},
        {"W25Q64", 2, {0x00, 0x02, 0}, true},   {"W25Q64", 1, {0x00, 0x02, 0}, false},
        {"W25Q64", 3, {0x00, 0, 0x60}, true},   {"W25Q64", 3, {0x00, 0, 0}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.count));
        EmulatedSpi spi(ChipWithStatus("ID_SPI1", c.status));
        SpiLog log;
        const EraseStatusCheck check = CheckStatusBeforeErase(spi.device, c.name, c.count, log);
        EXPECT_TRUE(check.readOk);
        EXPECT_EQ(check.warn, c.warn);
    }
    EmulatedSpi spi(ChipWithStatus("ID_SPI1", {}));
    spi.emulator->unplug();
    SpiLog log;
    EXPECT_FALSE(CheckStatusBeforeErase(spi.device, "W25Q64", 1, log).readOk);
    EXPECT_EQ(log, SpiLog{Red("Ошибка чтения регистра статуса!")});
}

// Unprotect on each protection scheme: afterwards every page takes a program. The W25Q64FV
// starts with CMP set and BP clear, which protects the whole array until register 2 is written;
// the SST26 starts with every block write-locked, as it powers up.
TEST(SpiStatus, UnprotectFrames)
{
    struct Case {
        const char* name;
        const char* maker;
        uint32_t size;
        std::array<uint8_t, 3> status; // at power-up
        bool erase;
        Frames frames; // polls left out
        uint8_t sr1After;
    } cases[] = {
        {"W25Q64FV",
         "WINBOND",
         1u << 20,
         {0x00, 0x40, 0x00},
         false,
         {"06", "01 00", "06", "31 00", "06", "11 00", "04"},
         0x00},
        {"AT25DF041A",
         "ATMEL",
         512u << 10,
         {0x1C, 0, 0},
         false,
         {"06", "01 00", "06", "01 00", "06", "31 00", "06", "11 00", "04"},
         0x10},
        {"SST26VF016B",
         "SST",
         2u << 20,
         {0x00, 0, 0},
         false,
         {"06", "01 00", "06", "98", "06", "31 00", "06", "11 00", "04"},
         0x00},
        {"mx25l2026",
         "MACRONIX",
         256u << 10,
         {0x8C, 0, 0},
         true,
         {"06", "01 00", "C3 A5 C3 A5", "06", "01 00", "06", "01 00", "06", "31 00", "06", "11 00", "04"},
         0x00},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EmulatedChipConfig config = *MakeEmulatedChipConfig({c.name, "ID_SPI1", c.size, 256, "", 1, c.maker});
        config.initialStatus = c.status;
        EmulatedSpi spi(config);
        SpiLog log;
        EXPECT_EQ(Unprotect(spi.device, c.name, log), c.erase);
        EXPECT_EQ(spi.framesWithoutPolls(), c.frames);
        EXPECT_TRUE(log.empty());
        EXPECT_EQ(ReadStatusRegisters(spi.device, 1, log).values[0], c.sr1After);
        const std::vector<uint8_t> page(256, 0x00);
        for (uint32_t address = 0; address < c.size; address += 4096)
            ASSERT_TRUE(SPIProgramPage(spi.device, address, page, SpiAddress3));
        for (uint32_t address = 0; address < c.size; address += 4096)
            EXPECT_EQ(spi.emulator->memory()[address], 0x00) << std::hex << address;
    }
    EmulatedSpi spi(ChipWithStatus("ID_SPI1", {}));
    spi.emulator->unplug();
    SpiLog log;
    Unprotect(spi.device, "W25Q64FV", log);
    const LogLine frameError = Red("CH341StreamSPI4 error!");
    SpiLog expected(8, frameError); // the mode, then each of the seven frames
    expected[0] = Red("CH341SetStream error!");
    EXPECT_EQ(log, expected);
}

// A protected chip ignores programming until Unprotect; for the MX25L2026 the unprotect ends with
// the whole-chip erase that the window starts once Unprotect has returned.
TEST(SpiStatus, ProtectedChipIsProgrammedOnlyAfterUnprotect)
{
    std::vector<uint8_t> image(65536);
    for (uint32_t i = 0; i < 65536; ++i) image[i] = static_cast<uint8_t>(i * 13 + 5);
    const WorkerParams params{65536, 256, "ID_SPI3", 0, image.data()};

    EmulatedChipConfig sst = *MakeEmulatedChipConfig({"SST25VF512A", "ID_SPI3", 65536, 256, "BF4801", 1, ""});
    EmulatedSpi spi(sst);
    WorkerRun first;
    first.run(SpiSstWorker(spi.device), params);
    EXPECT_EQ(first.last().lParam, WriteFinished);
    auto chip = spi.emulator->memory();
    EXPECT_TRUE(std::ranges::all_of(chip, [](uint8_t b) { return b == 0xFF; }));

    SpiLog log;
    EXPECT_FALSE(Unprotect(spi.device, "SST25VF512A", log));
    WorkerRun second;
    second.run(SpiSstWorker(spi.device), params);
    EXPECT_TRUE(std::ranges::equal(chip, image));

    // The MX25L2026 of the database, with SRWD, BP1 and BP0 set.
    const auto rows = StarterRows([](const chipdb::ChipRecord& row) { return row.CHIPTEXT == "MX25L2026"; });
    ASSERT_EQ(rows.size(), 1u);
    EmulatedChipConfig mx = *EmulatedRow(rows[0]);
    mx.statusPreset = std::array<uint8_t, 3>{0x8C, 0, 0};
    EmulatedSpi mxSpi(mx);
    const uint32_t size = mx.size;
    std::ranges::fill(mxSpi.emulator->memory(), 0x5A);
    ASSERT_TRUE(Unprotect(mxSpi.device, rows[0].CHIPTEXT, log));
    WorkerRun erase;
    erase.run(SpiEraseWorker(mxSpi.device), params);
    EXPECT_EQ(erase.last().lParam, EraseFinished);
    EXPECT_TRUE(std::ranges::all_of(mxSpi.emulator->memory(), [](uint8_t b) { return b == 0xFF; }));
    EXPECT_EQ(ReadStatusRegisters(mxSpi.device, 1, log).values[0], 0x00);
    std::vector<uint8_t> written(size);
    for (uint32_t i = 0; i < size; ++i) written[i] = static_cast<uint8_t>(i * 7 + 1);
    WorkerRun program;
    program.run(SpiWriteWorker(mxSpi.device), {size, 256, rows[0].CHIPID, 0, written.data()});
    EXPECT_EQ(program.last().lParam, WriteFinished);
    EXPECT_TRUE(std::ranges::equal(mxSpi.emulator->memory(), written));
    EXPECT_TRUE(log.empty());
}
