// The command line's grammar: what it accepts, and the one-line reason for what it refuses.
#include "cli/CliOptions.h"

#include <gtest/gtest.h>

TEST(CliOptions, ParsesCommandsAndOptions)
{
    const CliParse parse = ParseCliOptions({"-c", "24C02", "--i2c-speed=400", "--slave-address=0xA8", "--no-ack-check",
                                            "--format=HEX", "-y", "--json", "write", "dump.hex"});
    ASSERT_TRUE(parse.options) << parse.error.toStdString();
    const CliOptions& o = *parse.options;
    EXPECT_EQ(o.command, "write");
    EXPECT_EQ(o.args, QStringList{"dump.hex"});
    EXPECT_EQ(o.chip, "24C02");
    EXPECT_EQ(o.i2cSpeed, 2);
    EXPECT_EQ(o.slaveAddress, 0xA8);
    EXPECT_TRUE(o.noAckCheck && o.yes && o.json);
    EXPECT_EQ(o.format, "hex");
    EXPECT_FALSE(o.full);
    EXPECT_TRUE(ParseCliOptions({"--full", "write", "dump.bin"}).options->full);

    const CliParse status = ParseCliOptions({"--emulate=W25Q64FV", "--emulate-fault=pulled@7", "--emulate-fast",
                                             "--emulate-status=1c,02", "status", "--set", "00,02"});
    ASSERT_TRUE(status.options) << status.error.toStdString();
    const EmulationOptions& emulation = status.options->emulation;
    EXPECT_EQ(emulation.chip, "W25Q64FV");
    EXPECT_TRUE(emulation.on && emulation.fast);
    ASSERT_TRUE(emulation.fault && emulation.status);
    EXPECT_EQ(emulation.fault->fault, EmulatedFault::Pulled);
    EXPECT_EQ(emulation.fault->afterPackets, 7u);
    EXPECT_EQ(*emulation.status, (std::array<uint8_t, 3>{0x1C, 0x02, 0x00}));
    EXPECT_EQ(status.options->setRegisters, (std::vector<uint8_t>{0x00, 0x02}));
}

TEST(CliOptions, RefusesWhatItCannotUse)
{
    const struct {
        QStringList arguments;
        const char* reason;
    } cases[] = {
        {{}, "no command given"},
        {{"flash"}, "unknown command flash"},
        {{"read"}, "read takes 1 argument(s)"},
        {{"convert", "a.bin"}, "convert takes 2 argument(s)"},
        {{"--i2c-speed=300", "read", "x"}, "--i2c-speed must be 20, 100, 400 or 750, not 300"},
        {{"--slave-address=0xA1", "read", "x"}, "--slave-address must be an even address from 0xA0 to 0xAE, not 0xA1"},
        {{"--format=srec", "read", "x"}, "--format must be bin, hex, e2p or brg, not srec"},
        {{"status", "--set", "1FF"}, "--set needs one to three hexadecimal bytes separated by commas, not 1FF"},
        {{"--set=01", "blank"}, "--set belongs to the status command"},
        {{"--full", "read", "x"}, "--full belongs to the write command"},
        {{"--frobnicate", "list"}, "unknown option --frobnicate"},
        {{"--emulate-status=1C,XY", "status"},
         "--emulate-status needs one to three hexadecimal bytes separated by commas, not 1C,XY"},
        {{"--emulate-fault=melt@3", "read", "x"},
         "--emulate-fault needs usb, nak, busy, pulled or corrupt, optionally @N packets, not melt@3"},
    };
    for (const auto& c : cases) {
        const CliParse parse = ParseCliOptions(c.arguments);
        EXPECT_FALSE(parse.options) << c.reason;
        EXPECT_EQ(parse.error.toStdString(), c.reason);
    }
}
