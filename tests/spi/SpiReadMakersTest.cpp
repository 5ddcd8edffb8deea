// A whole-chip read of every 4-byte-opcode chip of the database, each emulated with its maker's
// meaning of B9, gives the chip's contents back. The chips of one size share one seeded array and
// the frames go straight to the chip model, so 28 reads of 32 MiB and 10 of 64 MiB take a few
// seconds.
#include "SpiFixture.h"

#include "adapter/emulator/SpiFlash.h"
#include "spi/SpiWorkers.h"
#include "tests/support/DirectSpiBus.h"
#include "tests/support/StarterRows.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

TEST(SpiReadMakers, EveryFourByteOpcodeChipReadsBackItsImage)
{
    const auto rows = StarterRows([](const chipdb::ChipRecord& row) { return row.CHIPID == "ID_SPI25"; });
    ASSERT_GE(rows.size(), 38u);
    std::map<uint32_t, ChipMemory> memories;
    for (const uint32_t size : {32u << 20, 64u << 20}) {
        const std::span<uint8_t> cells = memories.try_emplace(size, size).first->second.bytes();
        for (uint32_t i = 0; i < size; i += 4) {
            const uint32_t word = i * 2654435761u ^ (i >> 13);
            std::memcpy(&cells[i], &word, 4);
        }
    }
    const EmuClock clock(1e6);
    std::vector<uint8_t> image;
    for (const chipdb::ChipRecord& row : rows) {
        SCOPED_TRACE(row.CHIPTEXT + " " + row.MANUF);
        const uint32_t size = uint32_t(row.CHIPSIZE.value_or(0));
        ASSERT_TRUE(memories.contains(size)) << size;
        ChipMemory& memory = memories.at(size);
        const std::span<const uint8_t> cells = memory.bytes();
        const auto config = EmulatedRow(row);
        ASSERT_TRUE(config);
        SpiFlash chip(*config, memory, clock);
        DirectSpiBus bus(chip, clock);
        image.assign(size, 0x00);

        WorkerRun read;
        read.run(SpiReadWorker(bus), {size, 256, row.CHIPID, 0, image.data()});
        EXPECT_EQ(read.last().lParam, ReadFinished);
        const auto first = std::ranges::mismatch(cells, image).in1;
        EXPECT_EQ(first, cells.end()) << "first difference at 0x" << std::hex << (first - cells.begin());
        EXPECT_FALSE(chip.poweredDown());
        if (config->b9 == B9Command::BankRegisterAccess) {
            EXPECT_EQ(chip.bankRegister(), 0x80) << "EXTADD set";
        }
    }
}
