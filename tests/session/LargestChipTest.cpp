// The largest chips of the database (64 MiB, 4-byte address opcodes): the chip image follows the
// selected chip's size, and a whole chip is written, verified and read back through the core, byte
// for byte, on makers that read B9 differently.
#include "SessionFixture.h"

namespace {
constexpr std::size_t MiB = std::size_t(1) << 20;
// A whole 64 MiB chip takes seconds even on the fast emulated adapter; a loaded machine, more.
constexpr int WholeChipMilliseconds = 120000;

// Differs between any two addresses 32 MiB apart, so a read or write that wrapped at 32 MiB shows.
std::vector<uint8_t> WideImage(std::size_t size)
{
    std::vector<uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = uint8_t(uint32_t(i * 0x9E3779B1u) >> 24);
    return bytes;
}
} // namespace

TEST_F(SessionTest, TheTransferBufferFollowsTheSelectedChip)
{
    const auto select = [this](const char* name) {
        session.catalogue().ClientDataSet.assign({Row(name)});
        session.catalogue().ClientDataSet.moveTo(0);
        session.catalogue().SetParams();
        return session.document().transfer().size();
    };
    // Every chip up to 32 MiB shares 33 MiB; a larger one gets its size and 1 MiB more.
    EXPECT_EQ(select("24C02"), 33 * MiB);
    session.document().transfer()[5] = 0x5A;
    EXPECT_EQ(select("W25Q256JV"), 33 * MiB);
    EXPECT_EQ(select("W25Q512JV"), 65 * MiB);
    EXPECT_EQ(session.chip().size, 64 * MiB);
    EXPECT_EQ(session.document().editor().size(), 64 * MiB);
    const std::span<const uint8_t> grown = session.document().transfer();
    EXPECT_EQ(grown[5], 0x5A); // what the image held stays
    EXPECT_EQ(grown[33 * MiB], 0xFF);
    EXPECT_EQ(grown.back(), 0xFF);
    EXPECT_EQ(select("W25X20"), 33 * MiB);
    EXPECT_EQ(session.document().transfer()[5], 0x5A);
}

TEST_F(SessionTest, ALargestChipIsWrittenVerifiedAndReadWhole)
{
    // Makers differ only in what the read preparation's B9 means (Winbond: deep power-down;
    // Spansion S25FL-S: bank register access), so one whole-chip write serves both: the verify after
    // it is the Winbond chip's whole read, and the Spansion chip is read whole from its image.
    const std::vector<uint8_t> image = WideImage(64 * MiB);
    insert("W25Q512JV");
    ASSERT_EQ(emulator->memory().size(), 64 * MiB);
    setEditor(image);
    EXPECT_EQ(run([&] { session.write(); }, WholeChipMilliseconds), Outcome::Completed)
        << reds().join('|').toStdString();
    EXPECT_TRUE(logHas("Writing completed")); // after the verify found no difference
    EXPECT_TRUE(std::ranges::equal(emulator->memory(), image));

    insert("S25FL512S");
    ASSERT_EQ(emulator->memory().size(), 64 * MiB);
    std::ranges::copy(image, emulator->memory().begin());
    setEditor({});
    std::ranges::fill(session.document().transfer(), 0x00);
    EXPECT_EQ(run([&] { session.read(); }, WholeChipMilliseconds), Outcome::Completed)
        << reds().join('|').toStdString();
    EXPECT_TRUE(std::ranges::equal(session.document().bytes(), image));
}
