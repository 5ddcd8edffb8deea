// vespera-cli as a user runs it: the real binary, beside its own copy of the chip database, on
// the emulated adapter.
#include <QJsonDocument>
#include <QJsonObject>

#include <csignal>

#include "CliFixture.h"

TEST_F(Cli, ReadWriteAndVerifyGoThroughTheChip)
{
    writeFile("chip.bin", Pattern(ChipSize, 1));
    Run read = run({"read", path("dump.bin")});
    ASSERT_EQ(read.code, 0) << read.err.toStdString();
    EXPECT_EQ(readFile("dump.bin"), Pattern(ChipSize, 1));

    writeFile("new.bin", Pattern(ChipSize, 2));
    // The full write erases a chip that is not erased first (it was asked to write the whole chip).
    Run write = run({"--full", "write", path("new.bin")});
    EXPECT_EQ(write.code, 0) << write.err.toStdString();
    EXPECT_EQ(readFile("chip.bin"), Pattern(ChipSize, 2));
    writeFile("chip.bin", Pattern(ChipSize, 1));
    write = run({"-y", "erase"});
    ASSERT_EQ(write.code, 0) << write.err.toStdString();
    write = run({"write", path("new.bin")});
    ASSERT_EQ(write.code, 0) << write.err.toStdString();
    EXPECT_EQ(readFile("chip.bin"), Pattern(ChipSize, 2));

    QByteArray changed = Pattern(ChipSize, 2);
    changed[0x1234] = char(~changed[0x1234]);
    writeFile("chip.bin", changed);
    const Run verify = run({"verify", path("new.bin")});
    EXPECT_EQ(verify.code, 1);
    EXPECT_TRUE(verify.out.startsWith("0x001234: file ")) << verify.out.toStdString();
}

TEST_F(Cli, FilesAndChipsThatDoNotFitAreRefused)
{
    writeFile("short.bin", Pattern(ChipSize - 1, 3));
    writeFile("long.bin", Pattern(ChipSize + 1, 3));
    writeFile("chip.bin", Pattern(ChipSize, 1));
    for (const char* name : {"short.bin", "long.bin"}) {
        const Run write = run({"write", path(name)});
        EXPECT_EQ(write.code, 2) << name;
        EXPECT_TRUE(write.err.contains(name)) << write.err.toStdString();
    }
    EXPECT_EQ(readFile("chip.bin"), Pattern(ChipSize, 1)); // nothing was written

    // A dump of the largest chip is described whole; a longer one is refused, never cut short.
    for (const auto& [size, code] : {std::pair{qint64(64) << 20, 0}, std::pair{(qint64(65) << 20) + 1, 2}}) {
        QFile big(path("big.bin"));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(size));
        big.close();
        const Run info = run({"--json", "info", path("big.bin")});
        EXPECT_EQ(info.code, code) << size << info.err.toStdString();
        if (code == 0) {
            EXPECT_EQ(QJsonDocument::fromJson(info.out).object()["bytes"].toInteger(), size);
        }
    }

    EXPECT_EQ(run({"read", path("x.bin")}, "NO-SUCH-CHIP").code, 3);
    EXPECT_EQ(run({"--chip", "NO-SUCH-CHIP", "read", path("x.bin")}).code, 3);
    EXPECT_EQ(run({"--bogus", "read", path("x.bin")}).code, 2);
}

TEST_F(Cli, JsonReportsTheResult)
{
    writeFile("chip.bin", Pattern(ChipSize, 5));
    const Run read = run({"--json", "read", path("dump.hex")});
    ASSERT_EQ(read.code, 0) << read.err.toStdString();
    QJsonParseError error;
    const QJsonObject report = QJsonDocument::fromJson(read.out, &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << read.out.toStdString();
    EXPECT_EQ(report["result"].toString(), "ok");
    EXPECT_EQ(report["format"].toString(), "hex");
    EXPECT_EQ(report["bytes"].toInt(), ChipSize);
    EXPECT_EQ(report["chip"].toObject()["name"].toString(), "MX25L512E");

    const Run info = run({"--json", "info", path("dump.hex")});
    EXPECT_EQ(QJsonDocument::fromJson(info.out).object()["crc32"], report["crc32"]);
}

TEST_F(Cli, CtrlCCancelsALongReadAndSaysSo)
{
    QProcess process;
    process.start(program, {"--emulate=W25Q64FV", "--emulate-fast", "read", path("dump.bin")});
    ASSERT_TRUE(process.waitForStarted());
    // Interrupt once the read is under way.
    QByteArray err;
    while (!err.contains("Reading") && process.state() == QProcess::Running) {
        process.waitForReadyRead(100);
        err += process.readAllStandardError();
    }
    ::kill(pid_t(process.processId()), SIGINT);
    ASSERT_TRUE(process.waitForFinished(30000));
    err += process.readAllStandardError();
    EXPECT_EQ(process.exitCode(), 5) << err.toStdString();
    EXPECT_TRUE(err.contains("cancelled: nothing was written to")) << err.toStdString();
    EXPECT_FALSE(QFile::exists(path("dump.bin")));
}

// A fault of the emulated adapter ends the command with an error line and a non-zero exit; a
// read that failed writes no file.
TEST_F(Cli, EveryEmulatedFaultIsAnErrorExit)
{
    const struct {
        const char* chip;
        int size;
        const char *fault, *command;
        int code;
    } cases[] = {
        {"MX25L512E", ChipSize, "usb@40", "read", 4},   {"MX25L512E", ChipSize, "pulled@40", "read", 4},
        {"MX25L512E", ChipSize, "pulled@8", "read", 4}, // in the status read before the read
        {"MX25L512E", ChipSize, "busy@40", "write", 4}, {"MX25L512E", ChipSize, "corrupt@40", "verify", 1},
        {"24C02", 256, "nak@20", "write", 4},           {"24C02", 256, "busy@12", "read", 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.chip) + " " + c.fault);
        writeFile("new.bin", Pattern(c.size, 4));
        writeFile("chip.bin", c.code == 1 ? Pattern(c.size, 4) : QByteArray(c.size, '\xFF'));
        QFile::remove(path("dump.bin"));
        const QString file = QString(c.command) == "read" ? path("dump.bin") : path("new.bin");
        const Run result = run({QStringLiteral("--emulate-fault=") + c.fault, c.command, file}, c.chip);
        EXPECT_EQ(result.code, c.code) << result.err.toStdString();
        EXPECT_TRUE(result.err.contains("vespera-cli: ")) << result.err.toStdString();
        EXPECT_FALSE(QFile::exists(path("dump.bin")));
    }
}

// The default write compares first: only the sectors and pages that differ are erased and written.
TEST_F(Cli, WriteIsSmartUnlessFullIsAsked)
{
    QByteArray chip = Pattern(ChipSize, 1);
    writeFile("chip.bin", chip);
    QByteArray wanted = chip;
    wanted[0x2345] = char(~wanted[0x2345]); // sector 2: bits rise and fall
    wanted[0x8000] = 0;                     // sector 8: bits only fall
    writeFile("new.bin", wanted);
    const Run write = run({"-v", "write", path("new.bin")});
    ASSERT_EQ(write.code, 0) << write.err.toStdString();
    EXPECT_EQ(readFile("chip.bin"), wanted);
    const QByteArray all = write.out + write.err;
    EXPECT_TRUE(all.contains("Smart write: the chip is read first")) << all.toStdString();
    EXPECT_TRUE(all.contains("Smart write: 1 of 16 sectors erased, 17 of 256 pages programmed")) << all.toStdString();
}
