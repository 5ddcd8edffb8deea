// The command line keeps the habits of the tools beside it: "-" for standard streams, "--", bundled
// options, help per command, JSON for scripts, an output checked before the work, signals.
#include "CliFixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <csignal>

namespace {
QJsonObject Json(const QByteArray& out)
{
    return QJsonDocument::fromJson(out).object();
}
} // namespace

TEST_F(Cli, StandardStreamsBundledOptionsAndTheEndOfOptions)
{
    writeFile("chip.bin", Pattern(ChipSize, 1));
    // Bundled short options, an attached value, the chip's bytes on standard output.
    const Run read = run({"-qy", "-cMX25L512E", "read", "-"});
    ASSERT_EQ(read.code, 0) << read.err.toStdString();
    EXPECT_EQ(read.out, Pattern(ChipSize, 1));
    // Standard input in the format --format names; "--" ends the options.
    const Run write = run({"--format=bin", "--", "write", "-"}, "MX25L512E", Pattern(ChipSize, 2));
    ASSERT_EQ(write.code, 0) << write.err.toStdString();
    EXPECT_EQ(readFile("chip.bin"), Pattern(ChipSize, 2));
    writeFile("-odd.bin", Pattern(ChipSize, 2));
    EXPECT_EQ(run({"verify", "--", path("-odd.bin")}).code, 0);
}

TEST_F(Cli, HelpForOneCommandAndJsonForAUsageError)
{
    for (const QStringList& asked : {QStringList{"help", "write"}, QStringList{"write", "--help"}}) {
        const Run help = run(asked);
        EXPECT_EQ(help.code, 0);
        EXPECT_TRUE(help.out.startsWith("Usage: vespera-cli [options] write FILE")) << help.out.toStdString();
    }
    const Run bad = run({"--json", "--frobnicate", "list"});
    EXPECT_EQ(bad.code, 2);
    const QJsonObject error = Json(bad.out);
    EXPECT_EQ(error["result"].toString(), "usage");
    EXPECT_EQ(error["errors"].toArray().first().toString(), "unknown option --frobnicate");
}

// Where the dump cannot go is found out before the chip is read; a dump that cannot be written
// after the read is kept elsewhere, and the exit says the file failed.
TEST_F(Cli, TheOutputIsCheckedBeforeTheReadAndAFailedSaveKeepsTheData)
{
    writeFile("chip.bin", Pattern(ChipSize, 1));
    for (const QString& where : {folder.path(), path("missing/dump.bin")}) {
        const Run read = run({"read", where});
        EXPECT_EQ(read.code, 4) << where.toStdString();
        EXPECT_FALSE(read.err.contains("Reading")) << read.err.toStdString();
    }
    const Run full = run({"read", "/dev/full"});
    EXPECT_EQ(full.code, 4);
    EXPECT_TRUE(full.err.contains("No space left on device")) << full.err.toStdString();
    EXPECT_TRUE(full.err.contains("the chip's contents are kept in ")) << full.err.toStdString();
}

TEST_F(Cli, ConvertToBrgCarriesTheStatusRegistersOrSaysThereWereNone)
{
    writeFile("x.bin", Pattern(32768, 3));
    const Run convert = run({"-v", "convert", path("x.bin"), path("x.brg")});
    ASSERT_EQ(convert.code, 0) << convert.err.toStdString();
    EXPECT_TRUE(convert.err.contains("the BRG file's trailer holds 00 00 00")) << convert.err.toStdString();
    const QJsonObject info = Json(run({"--json", "info", path("x.brg")}).out);
    EXPECT_EQ(info["bytes"].toInt(), 32768); // the data, the trailer not taken for it
    EXPECT_EQ(info["statusRegisters"].toArray(), (QJsonArray{"0x00", "0x00", "0x00"}));
}

TEST_F(Cli, TheEmulatorAloneHoldsItsDefaultChipAndAnImageItCannotKeepIsRefused)
{
    QProcess process;
    process.start(program, {"--emulate", "--emulate-fast", "--json", "read", path("dump.bin")});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    EXPECT_EQ(Json(process.readAllStandardOutput())["chip"].toObject()["name"].toString(), "W25Q64FV");

    const Run refused = run({"--emulate-image=/proc/vespera/chip.bin", "read", path("dump.bin")});
    EXPECT_EQ(refused.code, 2);
    EXPECT_TRUE(refused.err.contains("--emulate-image")) << refused.err.toStdString();
}

TEST_F(Cli, JsonNamesKindsAndIdsAsScriptsExpect)
{
    const QJsonObject detect = Json(run({"--json", "detect"}).out);
    EXPECT_EQ(detect["ids"].toObject()["jedec"].toString(), "C22010");
    EXPECT_EQ(detect["matches"].toArray().first().toString(), "MX25L512E");
    const QJsonObject list = Json(run({"--json", "list", "24C02"}).out);
    EXPECT_EQ(list["chips"].toArray().first().toObject()["kind"].toString(), "i2c-eeprom");

    writeFile("chip.bin", Pattern(ChipSize, 1));
    QByteArray wanted = Pattern(ChipSize, 1);
    wanted[0x2345] = char(~wanted[0x2345]);
    writeFile("new.bin", wanted);
    const QJsonObject write = Json(run({"--json", "write", path("new.bin")}).out);
    EXPECT_EQ(write["result"].toString(), "ok");
    EXPECT_EQ(write["sectorsErased"].toInt(), 1);
    EXPECT_EQ(write["pagesProgrammed"].toInt(), 16);
    EXPECT_EQ(write["chip"].toObject()["kind"].toString(), "spi-flash");

    // Nothing on the SPI side of the socket: "no chip", never the id of an empty bus.
    const Run empty = run({"detect"}, "24C02");
    EXPECT_EQ(empty.code, 3);
    EXPECT_TRUE(empty.out.contains("no chip")) << empty.out.toStdString();
}

TEST_F(Cli, SigtermEndsLikeCtrlCAndSaysWhatTheChipHolds)
{
    QProcess process;
    process.start(program, {"--emulate=W25Q64FV", "--emulate-fast", "read", path("dump.bin")});
    ASSERT_TRUE(process.waitForStarted());
    QByteArray err;
    while (!err.contains("Reading") && process.state() == QProcess::Running) {
        process.waitForReadyRead(100);
        err += process.readAllStandardError();
    }
    ::kill(pid_t(process.processId()), SIGTERM);
    ASSERT_TRUE(process.waitForFinished(30000));
    err += process.readAllStandardError();
    EXPECT_EQ(process.exitCode(), 5) << err.toStdString();
    EXPECT_TRUE(err.contains("cancelled (SIGTERM): nothing was written to")) << err.toStdString();
}
