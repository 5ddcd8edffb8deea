#include "cli/CliOptions.h"

namespace {
const QStringList Commands = {"list",  "detect", "read",      "write", "verify", "erase",
                              "blank", "status", "unprotect", "info",  "convert"};

// How many arguments each command takes: at least, at most.
std::pair<int, int> ArgumentCount(const QString& command)
{
    if (command == "list") return {0, 1};
    if (command == "read" || command == "write" || command == "verify" || command == "info") return {1, 1};
    if (command == "convert") return {2, 2};
    return {0, 0};
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
} // namespace

CliParse ParseCliOptions(const QStringList& arguments)
{
    CliOptions o;
    auto fail = [](const QString& text) { return CliParse{std::nullopt, text}; };
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        const QString value = a.section(QLatin1Char('='), 1);
        auto next = [&](QString* out) {
            if (i + 1 >= arguments.size()) return false;
            *out = arguments.at(++i);
            return true;
        };
        if (a == "-h" || a == "--help") {
            o.help = true;
        } else if (a == "--version") {
            o.version = true;
        } else if (a == "-c" || a == "--chip") {
            if (!next(&o.chip)) return fail(a + " needs a chip name");
        } else if (a.startsWith("--chip=")) {
            o.chip = value;
        } else if (QString error; TakeEmulationOption(a, o.emulation, error)) {
            if (!error.isEmpty()) return fail(error);
        } else if (a.startsWith("--i2c-speed=")) {
            if (!(o.i2cSpeed = SpeedIndex(value))) return fail("--i2c-speed must be 20, 100, 400 or 750, not " + value);
        } else if (a.startsWith("--slave-address=")) {
            if (!(o.slaveAddress = SlaveAddressValue(value)))
                return fail("--slave-address must be an even address from 0xA0 to 0xAE, not " + value);
        } else if (a == "--no-ack-check") {
            o.noAckCheck = true;
        } else if (a.startsWith("--format=")) {
            o.format = value.toLower();
            if (!QStringList{"bin", "hex", "e2p", "brg"}.contains(o.format))
                return fail("--format must be bin, hex, e2p or brg, not " + value);
        } else if (a == "--set" || a.startsWith("--set=")) {
            QString text = value;
            if (a == "--set" && !next(&text)) return fail("--set needs HEX[,HEX[,HEX]]");
            const auto values = RegisterValues(text);
            if (!values) return fail("--set needs one to three hexadecimal bytes separated by commas, not " + text);
            o.setRegisters = *values;
        } else if (a == "--pad") {
            o.pad = true;
        } else if (a == "--full") {
            o.full = true;
        } else if (a == "--no-verify") {
            o.noVerify = true;
        } else if (a == "-y" || a == "--yes") {
            o.yes = true;
        } else if (a == "-q" || a == "--quiet") {
            o.quiet = true;
        } else if (a == "-v" || a == "--verbose") {
            o.verbose = true;
        } else if (a == "--json") {
            o.json = true;
        } else if (a.startsWith("-") && a != "-") {
            return fail("unknown option " + a);
        } else if (o.command.isEmpty()) {
            if (!Commands.contains(a)) return fail("unknown command " + a);
            o.command = a;
        } else {
            o.args << a;
        }
    }
    if (o.help || o.version) return {o, {}};
    if (o.command.isEmpty()) return fail("no command given");
    const auto [least, most] = ArgumentCount(o.command);
    if (o.args.size() < least || o.args.size() > most)
        return fail(o.command + (least == most && least == 0 ? " takes no argument"
                                 : least == most             ? QString(" takes %1 argument(s)").arg(least)
                                                             : QString(" takes at most %1 argument").arg(most)));
    if (!o.setRegisters.empty() && o.command != "status") return fail("--set belongs to the status command");
    if (o.full && o.command != "write") return fail("--full belongs to the write command");
    return {o, {}};
}

QString CliUsage()
{
    return QStringLiteral(
        "Usage: vespera-cli [options] COMMAND [ARGS]\n"
        "\n"
        "Commands:\n"
        "  list [PATTERN]        chips of the database (PATTERN: case-blind part of the name)\n"
        "  detect                is the adapter there; JEDEC, RES and REMS ids and the matching chips\n"
        "  read FILE             the whole chip into FILE\n"
        "  write FILE            program FILE into the chip, then verify it: only the 4 KiB\n"
        "                        sectors and pages that differ from the chip are erased and\n"
        "                        programmed, and only they are read back (SPI)\n"
        "  verify FILE           compare chip and FILE; exit 1 on any difference\n"
        "  erase                 erase the chip (SPI), then check that it is blank\n"
        "  blank                 blank check; exit 1 and the first address that is not FF\n"
        "  status [--set HEX[,HEX[,HEX]]]  show (or write) status registers 1..3 (SPI)\n"
        "  unprotect             clear the block protection (SPI)\n"
        "  info FILE             format, size, CRC16 and CRC32 of a dump file\n"
        "  convert IN OUT        convert a dump file between formats\n"
        "\n"
        "Options:\n"
        "  -c, --chip NAME       chip from the database (default: the chip saved by the window)\n"
        "  --emulate[=CHIP]      use the emulated adapter (with CHIP in its socket)\n"
        "  --emulate-image=FILE  the emulated chip's contents, kept between runs\n"
        "  --emulate-fast        the emulated adapter answers at once (default: the real adapter's pace)\n"
        "  --emulate-status=HEX[,HEX,HEX]  the emulated chip's status registers at power-up\n"
        "  --emulate-log=FILE    write the emulated adapter's bus log to FILE\n"
        "  --emulate-fault=KIND[@N]  a fault after N packets: usb, nak, busy, pulled or corrupt\n"
        "  --i2c-speed=20|100|400|750, --slave-address=0xA0..0xAE, --no-ack-check   (24xx)\n"
        "  --format=bin|hex|e2p|brg   file format (default: by the file's extension, else bin)\n"
        "  --pad                 pad a file shorter than the chip with FF\n"
        "  --full                write: erase and program the whole chip, verify all of it\n"
        "  --no-verify           write without reading the chip back\n"
        "  -y, --yes             answer every question with yes\n"
        "  -q, --quiet           no progress and no result lines; errors only\n"
        "  -v, --verbose         also print the log of the operations\n"
        "  --json                print one JSON object with the result on stdout\n"
        "  -h, --help, --version\n"
        "\n"
        "Exit codes: 0 done, 1 differences or not blank, 2 usage error or bad file,\n"
        "3 adapter or chip not found or wrong chip, 4 USB or I/O failure, 5 cancelled.\n");
}
