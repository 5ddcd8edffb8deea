#include "cli/CliOptions.h"

#include <QCommandLineParser>

namespace {

struct CommandSpec {
    const char* name;
    int least, most; // arguments
    const char* synopsis;
    const char* description;
};

// The commands, their arguments and their one-paragraph help.
const CommandSpec Commands[] = {
    {"list", 0, 1, "list [PATTERN]", "The chips of the database (PATTERN: a part of the name, any case)."},
    {"detect", 0, 0, "detect",
     "Whether the adapter is there; the chip's JEDEC, RES and REMS ids and the chips of the database that have "
     "them; \"no chip\" for an empty socket."},
    {"read", 1, 1, "read FILE", "The whole chip into FILE (\"-\": standard output)."},
    {"write", 1, 1, "write FILE",
     "Program FILE (\"-\": standard input) into the chip, then verify it. On an SPI flash only the 4 KiB sectors "
     "and pages that differ are erased and programmed, and only they are read back; --full writes the whole chip, "
     "erasing it first when it is not erased."},
    {"verify", 1, 1, "verify FILE", "Compare the chip with FILE; exit 1 and the first differences if any."},
    {"erase", 0, 0, "erase", "Erase the chip (SPI flash and EEPROM, 93Cxx), then check that it is blank."},
    {"blank", 0, 0, "blank", "Check that the chip is blank (every byte FF); exit 1 and the first address if not."},
    {"status", 0, 0, "status [--set HEX[,HEX[,HEX]]]",
     "Show status registers 1..3 of an SPI chip, or write them. A write that would lock the registers or the "
     "chip for good is refused unless --force-lock is given."},
    {"unprotect", 0, 0, "unprotect", "Clear the block protection of an SPI chip."},
    {"info", 1, 1, "info FILE", "Format, size, CRC16 and CRC32 of a dump file."},
    {"convert", 2, 2, "convert IN OUT",
     "Convert a dump file between formats (OUT's format from --format or its extension). A BRG file gets the "
     "status registers of a BRG input, else zeros, and says so."},
    {"help", 0, 1, "help [COMMAND]", "The usage, or the usage of one command."},
};

const CommandSpec* SpecOf(const QString& name)
{
    for (const CommandSpec& spec : Commands)
        if (name == QLatin1String(spec.name)) return &spec;
    return nullptr;
}

std::optional<int> SpeedIndex(const QString& kHz)
{
    const QStringList speeds = {"20", "100", "400", "750"};
    const int index = int(speeds.indexOf(kHz));
    return index < 0 ? std::nullopt : std::optional<int>(index);
}

std::optional<int> SlaveAddressValue(const QString& text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 0);
    // The 24xx device address: 1010 A2 A1 A0, read/write bit clear.
    if (!ok || value < 0xA0 || value > 0xAE || value % 2 != 0) return std::nullopt;
    return value;
}

std::optional<std::vector<uint8_t>> RegisterValues(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.isEmpty() || parts.size() > 3) return std::nullopt;
    std::vector<uint8_t> values;
    for (const QString& part : parts) {
        bool ok = false;
        const uint value = part.trimmed().toUInt(&ok, 16);
        if (!ok || value > 0xFF) return std::nullopt;
        values.push_back(uint8_t(value));
    }
    return values;
}

const char* const EmulationValueOptions[] = {"emulate", "emulate-image", "emulate-status", "emulate-log",
                                             "emulate-fault"};

} // namespace

bool IsCliCommand(const QString& command)
{
    return SpecOf(command) != nullptr;
}

CliParse ParseCliOptions(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    auto flag = [](QStringList names) { return QCommandLineOption(names); };
    auto valued = [](QStringList names) { return QCommandLineOption(names, QString(), QStringLiteral("VALUE")); };
    const QCommandLineOption chip = valued({"c", "chip"}), iicSpeed = valued({"i2c-speed"}),
                             slave = valued({"slave-address"}), noAck = flag({"no-ack-check"}),
                             format = valued({"format"}), set = valued({"set"}), pad = flag({"pad"}),
                             full = flag({"full"}), noVerify = flag({"no-verify"}), yes = flag({"y", "yes"}),
                             force = flag({"force"}), forceLock = flag({"force-lock"}), quiet = flag({"q", "quiet"}),
                             verbose = flag({"v", "verbose"}), json = flag({"json"}), help = flag({"h", "help"}),
                             version = flag({"version"}), emulateFast = flag({"emulate-fast"});
    parser.addOptions({chip, iicSpeed, slave, noAck, format, set, pad, full, noVerify, yes, force, forceLock, quiet,
                       verbose, json, help, version, emulateFast});
    for (const char* name : EmulationValueOptions) parser.addOption(valued({QLatin1String(name)}));

    // "--emulate" alone names no chip: the parser takes it as the option with an empty value.
    QStringList normalised{QStringLiteral("vespera-cli")};
    bool optionsEnded = false;
    for (const QString& a : arguments) {
        if (a == QLatin1String("--")) optionsEnded = true;
        normalised << (!optionsEnded && a == QLatin1String("--emulate") ? QStringLiteral("--emulate=") : a);
    }
    auto fail = [](const QString& text) { return CliParse{std::nullopt, text}; };
    if (!parser.parse(normalised)) {
        if (!parser.unknownOptionNames().isEmpty()) {
            const QString name = parser.unknownOptionNames().first();
            return fail("unknown option " + QString(name.size() == 1 ? "-" : "--") + name);
        }
        return fail(parser.errorText());
    }

    CliOptions o;
    o.help = parser.isSet(help);
    o.version = parser.isSet(version);
    o.chip = parser.value(chip);
    o.noAckCheck = parser.isSet(noAck);
    o.pad = parser.isSet(pad);
    o.full = parser.isSet(full);
    o.noVerify = parser.isSet(noVerify);
    o.yes = parser.isSet(yes);
    o.force = parser.isSet(force);
    o.forceLock = parser.isSet(forceLock);
    o.quiet = parser.isSet(quiet);
    o.verbose = parser.isSet(verbose);
    o.json = parser.isSet(json);
    for (const char* name : EmulationValueOptions)
        for (const QString& value : parser.values(name)) {
            QString error;
            const QString argument =
                QStringLiteral("--%1").arg(QLatin1String(name)) +
                (value.isEmpty() && QLatin1String(name) == QLatin1String("emulate") ? QString()
                                                                                    : QLatin1Char('=') + value);
            TakeEmulationOption(argument, o.emulation, error);
            if (!error.isEmpty()) return fail(error);
        }
    if (parser.isSet(emulateFast)) {
        QString unused;
        TakeEmulationOption(QStringLiteral("--emulate-fast"), o.emulation, unused);
    }
    if (parser.isSet(iicSpeed) && !(o.i2cSpeed = SpeedIndex(parser.value(iicSpeed))))
        return fail("--i2c-speed must be 20, 100, 400 or 750, not " + parser.value(iicSpeed));
    if (parser.isSet(slave) && !(o.slaveAddress = SlaveAddressValue(parser.value(slave))))
        return fail("--slave-address must be an even address from 0xA0 to 0xAE, not " + parser.value(slave));
    if (parser.isSet(format)) {
        o.format = parser.value(format).toLower();
        if (!FormatNamed(o.format)) return fail("--format must be bin, hex, e2p or brg, not " + parser.value(format));
    }
    if (parser.isSet(set)) {
        const auto values = RegisterValues(parser.value(set));
        if (!values)
            return fail("--set needs one to three hexadecimal bytes separated by commas, not " + parser.value(set));
        o.setRegisters = *values;
    }

    QStringList positional = parser.positionalArguments();
    if (!positional.isEmpty()) o.command = positional.takeFirst();
    o.args = positional;
    if (o.version) return {o, {}};
    if (o.command.isEmpty()) {
        if (o.help) return {o, {}};
        return fail("no command given");
    }
    const CommandSpec* spec = SpecOf(o.command);
    if (!spec) return fail("unknown command " + o.command);
    if (o.help) return {o, {}};
    if (o.command == QLatin1String("help") && !o.args.isEmpty() && !SpecOf(o.args.first()))
        return fail("unknown command " + o.args.first());
    if (o.args.size() < spec->least || o.args.size() > spec->most)
        return fail(o.command + (spec->least == spec->most && spec->least == 0 ? " takes no argument"
                                 : spec->least == spec->most ? QString(" takes %1 argument(s)").arg(spec->least)
                                                             : QString(" takes at most %1 argument").arg(spec->most)));
    if (!o.setRegisters.empty() && o.command != "status") return fail("--set belongs to the status command");
    if (o.full && o.command != "write") return fail("--full belongs to the write command");
    return {o, {}};
}

QString CommandUsage(const QString& command)
{
    const CommandSpec* spec = SpecOf(command);
    if (!spec) return CliUsage();
    return QStringLiteral("Usage: vespera-cli [options] %1\n\n%2\n\nThe options are those of vespera-cli --help.\n")
        .arg(QLatin1String(spec->synopsis), QLatin1String(spec->description));
}

QString CliUsage()
{
    QString commands;
    for (const CommandSpec& spec : Commands)
        commands += QStringLiteral("  %1\n").arg(QLatin1String(spec.synopsis), -30);
    return QStringLiteral("Usage: vespera-cli [options] COMMAND [ARGS]\n"
                          "\n"
                          "Commands (vespera-cli help COMMAND, or COMMAND --help, tells more):\n") +
           commands +
           QStringLiteral(
               "\n"
               "Options:\n"
               "  -c, --chip NAME       chip from the database (default: the chip saved by the window; with\n"
               "                        --emulate, the emulated chip)\n"
               "  --emulate[=CHIP]      use the emulated adapter (with CHIP in its socket; default W25Q64FV)\n"
               "  --emulate-image=FILE  the emulated chip's contents, kept between runs\n"
               "  --emulate-fast        the emulated adapter answers at once (default: the real adapter's pace)\n"
               "  --emulate-status=HEX[,HEX,HEX]  the emulated chip's status registers at power-up\n"
               "  --emulate-log=FILE    write the emulated adapter's bus log to FILE\n"
               "  --emulate-fault=KIND[@N]  a fault after N packets: usb, nak, busy, pulled or corrupt\n"
               "  --i2c-speed=20|100|400|750, --slave-address=0xA0..0xAE, --no-ack-check   (24xx)\n"
               "  --format=bin|hex|e2p|brg   file format (default: by the file's extension, else bin)\n"
               "  --pad                 pad a file shorter than the chip with FF\n"
               "  --full                write: the whole chip (erased first when it is not), all verified\n"
               "  --no-verify           write without reading the chip back\n"
               "  -y, --yes             answer the questions (erase, unprotect, erase first) with yes\n"
               "  --force               go on with a chip other than the one selected\n"
               "  --force-lock          allow status register writes that lock the chip\n"
               "  -q, --quiet           no progress and no result lines; errors only\n"
               "  -v, --verbose         also print the log of the operations\n"
               "  --json                print one JSON object with the result on stdout\n"
               "  -h, --help, --version\n"
               "\n"
               "FILE \"-\" is standard input or output (--format gives its format). \"--\" ends the options.\n"
               "Exit codes: 0 done, 1 differences or not blank, 2 usage error or bad file, 3 adapter or chip\n"
               "not found, 4 USB, chip or file failure, 5 cancelled, 6 refused (a question answered no:\n"
               "nothing was sent to the chip), 7 a chip other than the one selected.\n");
}
