#pragma once
// The command line of vespera-cli: one command with its arguments, and the options around it,
// parsed by the rules of QCommandLineParser (bundled short options, attached values, "--" ending
// the options, "-" for standard input or output).
#include "session/Core.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

struct CliOptions {
    QString command;  // list, detect, read, write, verify, erase, blank, status, unprotect, info, convert, help
    QStringList args; // the command's own arguments (files, a pattern)

    QString chip;                      // -c, --chip NAME
    EmulationOptions emulation;        // --emulate[=CHIP] and the other --emulate… options
    std::optional<int> i2cSpeed;       // --i2c-speed=20|100|400|750, as the index 0..3
    std::optional<int> slaveAddress;   // --slave-address=0xA0..0xAE
    bool noAckCheck = false;           // --no-ack-check
    QString format;                    // --format=bin|hex|e2p|brg, lower case; empty: by extension
    std::vector<uint8_t> setRegisters; // status --set HEX[,HEX[,HEX]]
    bool full = false;                 // --full: write erases (when needed) and programs the whole chip
    bool noVerify = false, pad = false;
    bool yes = false;       // -y: answer the questions yes
    bool force = false;     // --force: go on with a chip other than the one selected
    bool forceLock = false; // --force-lock: allow status writes that lock the chip
    bool quiet = false, json = false, verbose = false;
    bool help = false, version = false;
};

struct CliParse {
    std::optional<CliOptions> options;
    QString error; // a usage error, when options is empty
};

CliParse ParseCliOptions(const QStringList& arguments);

// The usage text of --help, and of one command (help COMMAND, COMMAND --help).
QString CliUsage();
QString CommandUsage(const QString& command);
bool IsCliCommand(const QString& command);
