#pragma once
// vespera-cli as a user runs it: the real binary in a folder of its own, beside its own copy of the
// chip database, on the emulated adapter whose chip lives in an image file the test sets and reads.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

inline constexpr int ChipSize = 65536; // MX25L512E

inline QByteArray Pattern(int size, int seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i) bytes[i] = char(i * 7 + seed + (i >> 8));
    return bytes;
}

class Cli : public ::testing::Test {
protected:
    QTemporaryDir folder;
    QString program;

    void SetUp() override
    {
        // A folder of its own: the settings and database of the build folder stay out of it.
        program = folder.filePath("vespera-cli");
        ASSERT_TRUE(QFile::copy(VESPERA_CLI, program));
        ASSERT_TRUE(QFile::copy(VESPERA_CHIPLIST_DAT, folder.filePath("ChipList.dat")));
        QFile ini(folder.filePath("Vespera.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Lang]\nId=1\n");
    }

    QString path(const char* name) const { return folder.filePath(name); }

    void writeFile(const char* name, const QByteArray& bytes)
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QByteArray readFile(const char* name) const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    struct Run {
        int code = -1;
        QByteArray out, err;
    };

    // Runs the program; `input` goes to its standard input.
    Run run(QStringList arguments, const char* chip = "MX25L512E", const QByteArray& input = {})
    {
        arguments.prepend(QStringLiteral("--emulate-image=") + path("chip.bin"));
        arguments.prepend(QStringLiteral("--emulate=") + chip);
        arguments.prepend(QStringLiteral("--emulate-fast"));
        QProcess process;
        process.start(program, arguments);
        if (!input.isEmpty()) process.write(input);
        process.closeWriteChannel();
        process.waitForFinished(60000);
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
                process.readAllStandardError()};
    }
};
