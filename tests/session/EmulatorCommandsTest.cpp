// Chips put into the emulated socket: each keeps its own contents, none ever loads or overwrites
// another's.
#include "SessionFixture.h"
#include "session/EmulatedChips.h"

#include <QTemporaryDir>

TEST(EmulatedImage, EachChipHasAFileOfItsOwnBesideTheStartImage)
{
    const struct {
        QString startImage, startChip, chip, image;
    } cases[] = {
        {"", "W25Q64FV", "W25X20", ""},
        {"/d/chip.bin", "W25Q64FV", "W25Q64FV", "/d/chip.bin"},
        {"/d/chip.bin", "W25Q64FV", "W25X20", "/d/chip.W25X20.bin"},
        {"/d/chip.bin", "", "W25Q64FV", "/d/chip.W25Q64FV.bin"}, // the default chip is no database chip
        {"/d/chip", "24C02", "24C04", "/d/chip.24C04"},
        {"/d/a.b.img", "", "AT25DF041A/B", "/d/a.b.AT25DF041A_B.img"}, // never a folder of the name
        {"/d/chip.bin", "", "../x y", "/d/chip.___x_y.bin"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EmulatedImageOf(c.startImage, c.startChip, c.chip), c.image) << c.chip.toStdString();
}

TEST_F(SessionTest, PutChipsKeepTheirContentsInTheirOwnFiles)
{
    QTemporaryDir folder;
    const QString start = folder.filePath("chip.bin");
    session.adapter().emulation().image = start;
    insert("W25X20");
    session.catalogue().ClientDataSet.assign({Row("W25X20"), Row("24C02")});
    EmulatorCommands& commands = session.emulator();

    ASSERT_TRUE(commands.putChip("24C02"));
    EXPECT_TRUE(commands.i2cChipInSocket());
    ASSERT_EQ(emulator->memory().size(), 256u);
    EXPECT_EQ(emulator->memory()[0], 0xFF); // erased, not the start image cut to size
    emulator->memory()[0] = 0x24;

    ASSERT_TRUE(commands.putChip({}));
    EXPECT_TRUE(commands.socketEmpty());
    EXPECT_TRUE(QFile::exists(folder.filePath("chip.24C02.bin")));
    EXPECT_FALSE(QFile::exists(start));

    ASSERT_TRUE(commands.putChip("24C02"));
    EXPECT_EQ(emulator->memory()[0], 0x24);
    EXPECT_TRUE(logHas("Emulator: 24C02 is in the socket, its contents are kept in "));

    EXPECT_FALSE(commands.putChip("NO-SUCH-CHIP"));
    EXPECT_EQ(commands.chipInSocket(), "24C02");
}
