#include "cli/CliCommands.h"

#include "adapter/emulator/EmulatedCh341.h"
#include "buffer/BinDump.h"
#include "buffer/Crc.h"
#include "buffer/DumpTexts.h"
#include "buffer/E2pDump.h"
#include "buffer/IntelHexWriter.h"
#include "chipdb/ChipKind.h"
#include "session/AppPaths.h"
#include "session/ChipAutoSelect.h"
#include "session/Language.h"
#include "session/SettingsFile.h"
#include "spi25/SpiIdentify.h"
#include "spi25/SpiText.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QLocale>
#include <algorithm>
#include <cstdio>

namespace {
QString Hex(uint64_t value, int digits)
{
    return QStringLiteral("0x") + QString::number(value, 16).toUpper().rightJustified(digits, QLatin1Char('0'));
}

QString FormatName(FileCommands::Format format)
{
    switch (format) {
    case FileCommands::Format::Bin: return QStringLiteral("bin");
    case FileCommands::Format::Brg: return QStringLiteral("brg");
    case FileCommands::Format::E2p: return QStringLiteral("e2p");
    case FileCommands::Format::Hex: return QStringLiteral("hex");
    }
    return {};
}

QString ResultName(int code)
{
    static const char* const names[] = {"ok",         "mismatch",  "usage",   "not-found",
                                        "io-failure", "cancelled", "refused", "wrong-chip"};
    return QString::fromLatin1(code >= 0 && code <= 7 ? names[code] : "io-failure");
}
} // namespace

CliCommands::CliCommands(const CliOptions& options) : CliFrontEnd(options), options_(options), session_(*this)
{
    // The command line writes only the files it is given: no automatic dumps.
    session_.automaticDumps = false;
}

void CliCommands::result(const QString& line)
{
    if (options_.quiet || options_.json) return;
    endProgress();
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

void CliCommands::operationStarted(Operation operation)
{
    running_ = operation;
    static const char* const labels[] = {"Reading", "Writing", "Verifying", "Blank check", "Erasing"};
    const bool compareAfterWrite = operation == Operation::Compare && options_.command != QLatin1String("verify");
    const char* label = compareAfterWrite ? "Verifying" : labels[int(operation)];
    beginProgress(QString::fromLatin1(label), operation == Operation::Erase ? 0 : session_.chip().size);
}

int CliCommands::run()
{
    report_["command"] = options_.command;
    int code = ExitUsage;
    const QString& c = options_.command;
    if (c == "list")
        code = list();
    else if (c == "detect")
        code = detect();
    else if (c == "read")
        code = read();
    else if (c == "write")
        code = write();
    else if (c == "verify")
        code = verify();
    else if (c == "erase")
        code = erase();
    else if (c == "blank")
        code = blank();
    else if (c == "status")
        code = status();
    else if (c == "unprotect")
        code = unprotect();
    else if (c == "info")
        code = info();
    else if (c == "convert")
        code = convert();
    endProgress();
    report_["exitCode"] = code;
    report_["result"] = ResultName(code);
    report_["errors"] = QJsonArray::fromStringList(errors());
    return code;
}

void CliCommands::interrupt()
{
    interrupted_ = true;
    session_.cancel();
}

// --- Preparation: the same start-up steps as the window, without writing anything back. ---

int CliCommands::prepare(bool adapter)
{
    MainSettings& settings = session_.settings();
    const SettingsFile file(SettingsPath());
    settings = ReadMainSettings(file, DefaultDumpDir());
    SetCurrentLanguage(settings.language != Language::NotChosen ? settings.language
                                                                : DetectLanguage(QLocale::system().name()));
    if (options_.i2cSpeed) settings.i2cSpeed = *options_.i2cSpeed;
    if (options_.noAckCheck) settings.ackCheck = false;
    if (options_.slaveAddress) settings.slaveAddress = *options_.slaveAddress;

    ChipCatalogue& catalogue = session_.catalogue();
    if (catalogue.LoadChipDatabase(ChipListPath()) != ChipCatalogue::DatabaseLoad::Loaded) {
        error("the chip database " + ChipListPath() + " cannot be used");
        return ExitUsage;
    }
    if (!adapter) return ExitDone;

    if (options_.emulation.on && !options_.emulation.chip.isEmpty() &&
        !catalogue.find(options_.emulation.chip.toStdString())) {
        error("--emulate: no chip named " + options_.emulation.chip + " in the database");
        return ExitNotFound;
    }
    AdapterSession& adapterSession = session_.adapter();
    adapterSession.setEmulation(options_.emulation);
    // The emulated socket holds the chip of --emulate=CHIP, else the chip worked on.
    const QString socketChip = options_.emulation.chip.isEmpty() ? options_.chip : options_.emulation.chip;
    catalogue.chip.name = socketChip.isEmpty() ? settings.chipName.toStdString() : socketChip.toStdString();
    if (options_.emulation.on)
        adapterSession.CreateEmulatedAdapter();
    else
        adapterSession.RegisterAdapterNotification();
    adapterSession.InitDevice();
    if (!adapterSession.present()) return ExitNotFound;
    return selectChip(true);
}

// The chip worked on: --chip, else the emulated one, else the chip the window saved; without any,
// an SPI chip is identified.
int CliCommands::selectChip(bool adapterOpen)
{
    ChipCatalogue& catalogue = session_.catalogue();
    QString name = options_.chip.isEmpty() ? options_.emulation.chip : options_.chip;
    if (name.isEmpty()) name = SettingsFile(SettingsPath()).readText("Chip", "Type", QString());
    if (name.isEmpty() && adapterOpen) {
        session_.autoSelect();
        if (severalChipsMatched()) {
            error("several chips of the database match the chip's id: choose one with --chip");
            return ExitNotFound;
        }
        if (!catalogue.find(catalogue.chip.name) || session_.outcome() != Outcome::Completed) {
            error("no chip given and none identified: choose one with --chip");
            return ExitNotFound;
        }
        name = QString::fromStdString(catalogue.chip.name);
    }
    if (!catalogue.locate(name.toStdString())) {
        error("no chip named " + name + " in the database (see: vespera-cli list)");
        return ExitNotFound;
    }
    catalogue.SetParams();
    const chipdb::Chip& chip = catalogue.chip;
    report_["chip"] = QJsonObject{{"name", QString::fromStdString(chip.name)},
                                  {"kind", QString::fromStdString(chip.kind)},
                                  {"size", qint64(chip.size)},
                                  {"pageSize", qint64(chip.pageSize)}};
    return ExitDone;
}

void CliCommands::waitIdle()
{
    while (session_.busy()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    endProgress();
}

int CliCommands::finish(const QString& chipState)
{
    const Outcome outcome =
        interrupted_ && session_.outcome() == Outcome::Completed ? Outcome::Cancelled : session_.outcome();
    if (outcome == Outcome::Cancelled) error("cancelled: " + chipState);
    return ExitCodeOf(outcome);
}

bool CliCommands::spiChipOrFail()
{
    if (session_.isSpiChip()) return true;
    error(options_.command + " works on SPI chips; " + QString::fromStdString(session_.chip().name) + " is not one");
    return false;
}

FileCommands::Format CliCommands::formatOf(const QString& path) const
{
    if (options_.format == "hex") return FileCommands::Format::Hex;
    if (options_.format == "e2p") return FileCommands::Format::E2p;
    if (options_.format == "brg") return FileCommands::Format::Brg;
    if (options_.format == "bin") return FileCommands::Format::Bin;
    return FileCommands::formatOfExtension(FileCommands::UpperExtension(path));
}

// --- Files ---

int CliCommands::saveImage(const QString& path, FileCommands::Format format, std::span<const uint8_t> data)
{
    std::error_code failure;
    switch (format) {
    case FileCommands::Format::Bin: failure = SaveBin(NativePath(path), data); break;
    case FileCommands::Format::Brg: {
        // An SPI chip's status registers travel with the data; a 24xx chip has none.
        const std::span<const uint8_t> registers = session_.isSpiChip()
                                                       ? std::span<const uint8_t>(session_.document().StatusShadow.SR)
                                                       : std::span<const uint8_t>();
        failure = SaveBrg(NativePath(path), data, registers);
        break;
    }
    case FileCommands::Format::Hex: failure = WriteHexFile(NativePath(path), data); break;
    case FileCommands::Format::E2p:
        error("E2P files can be read but not written: choose bin, brg or hex for " + path);
        return ExitUsage;
    }
    if (failure) {
        error("cannot write " + path + ": " + QString::fromStdString(failure.message()));
        return ExitIoFailure;
    }
    report_["file"] = path;
    report_["format"] = FormatName(format);
    report_["bytes"] = qint64(data.size());
    report_["crc32"] = Hex(CRC32(data), 8);
    return ExitDone;
}

int CliCommands::loadForChip(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile()) {
        error("cannot open " + path + (info.exists() ? ": not a regular file" : ": no such file"));
        return ExitUsage;
    }
    Document& document = session_.document();
    const uint32_t chipSize = session_.chip().size;
    const FileCommands::Format format = formatOf(path);
    uint64_t dataSize = 0;
    if (format == FileCommands::Format::Hex) {
        const HexReadResult read = document.loadHex(path);
        if (read.result != HexRead::Complete || read.recordsSkipped > 0) {
            error(path + " is not an Intel HEX file that fits the buffer");
            return ExitUsage;
        }
        dataSize = read.bytesCopied;
    } else {
        const DumpLoad load =
            format == FileCommands::Format::E2p
                ? document.loadE2p(path, chipSize)
                : document.loadBin(path, format == FileCommands::Format::Brg ? ".BRG" : ".BIN", chipSize);
        if (load.result != DumpResult::Loaded) {
            error(QString::fromStdString(DumpErrorText(load.result, NativePath(path))));
            return ExitUsage;
        }
        const std::size_t registers = format == FileCommands::Format::Brg ? 3 : 0;
        dataSize = load.bytesLoaded >= registers ? load.bytesLoaded - registers : 0;
    }
    if (dataSize > chipSize) {
        error(QStringLiteral("%1 holds %2 bytes, more than the %3 bytes of %4")
                  .arg(path)
                  .arg(dataSize)
                  .arg(chipSize)
                  .arg(QString::fromStdString(session_.chip().name)));
        return ExitUsage;
    }
    if (dataSize < chipSize) {
        if (!options_.pad) {
            error(QStringLiteral("%1 holds %2 bytes, fewer than the %3 bytes of %4 (--pad fills the rest with FF)")
                      .arg(path)
                      .arg(dataSize)
                      .arg(chipSize)
                      .arg(QString::fromStdString(session_.chip().name)));
            return ExitUsage;
        }
        std::fill(document.transfer().begin() + std::ptrdiff_t(dataSize), document.transfer().begin() + chipSize, 0xFF);
    }
    document.CurrentFileName = path;
    document.showInEditor(document.transfer().first(chipSize), false);
    report_["file"] = path;
    report_["format"] = FormatName(format);
    report_["bytes"] = qint64(dataSize);
    return ExitDone;
}

// --- Commands ---

int CliCommands::list()
{
    if (const int code = prepare(false)) return code;
    const QString pattern = options_.args.value(0);
    QJsonArray chips;
    for (const chipdb::ChipRecord& row : session_.catalogue().ClientDataSet.rows()) {
        const QString name = QString::fromStdString(row.CHIPTEXT);
        if (!pattern.isEmpty() && !name.contains(pattern, Qt::CaseInsensitive)) continue;
        const qint64 size = qint64(row.CHIPSIZE.value_or(0));
        const int page = int(row.PAGESIZE.value_or(0));
        chips.append(QJsonObject{{"name", name},
                                 {"manufacturer", QString::fromStdString(row.MANUF)},
                                 {"kind", QString::fromStdString(row.CHIPID)},
                                 {"size", size},
                                 {"pageSize", page}});
        result(QStringLiteral("%1 %2 %3 %4 %5")
                   .arg(name, -22)
                   .arg(QString::fromStdString(row.MANUF), -14)
                   .arg(QString::fromStdString(row.CHIPID), -11)
                   .arg(size, 10)
                   .arg(page, 6));
    }
    report_["chips"] = chips;
    return ExitDone;
}

int CliCommands::detect()
{
    if (const int code = prepare(false)) return code;
    AdapterSession& adapter = session_.adapter();
    adapter.setEmulation(options_.emulation);
    if (options_.emulation.on && !options_.emulation.chip.isEmpty() &&
        !session_.catalogue().find(options_.emulation.chip.toStdString())) {
        error("--emulate: no chip named " + options_.emulation.chip + " in the database");
        return ExitNotFound;
    }
    session_.catalogue().chip.name = options_.emulation.chip.toStdString();
    if (options_.emulation.on)
        adapter.CreateEmulatedAdapter();
    else
        adapter.RegisterAdapterNotification();
    adapter.InitDevice();
    report_["adapter"] = adapter.present();
    if (!adapter.present()) return ExitNotFound;
    result("adapter: CH341A present");

    bus::SpiMaster& spi = *adapter.bus()->spi();
    SpiLog log;
    const uint32_t id = spi25::GetSpiId(spi, log);
    const QStringList idLines = [&] {
        QStringList lines;
        for (const LogLine& line : spi25::SpiIdLines(spi)) lines << QString::fromStdString(line.text.en).trimmed();
        return lines;
    }();
    for (const QString& line : idLines) result(line);
    report_["ids"] = QJsonArray::fromStringList(idLines);

    ChipCatalogue& catalogue = session_.catalogue();
    const AutoSelectResult found = ReadChipId(spi, catalogue.ClientDataSet, catalogue.ChipFilter, true, log);
    QJsonArray matches;
    if (found.outcome == AutoSelectResult::Outcome::OneMatch || found.outcome == AutoSelectResult::Outcome::Several)
        for (int i = 0; i < catalogue.ClientDataSet.visibleCount(); ++i)
            matches.append(QString::fromStdString(catalogue.ClientDataSet.visibleRow(i).CHIPTEXT));
    catalogue.ChipFilter.signatureMode = false;
    catalogue.ClientDataSet.refilter();
    report_["matches"] = matches;
    if (matches.isEmpty()) {
        result(id == spi25::NoJedecAnswer ? "no SPI chip answers" : "no chip of the database has this id");
        return ExitNotFound;
    }
    for (const auto& match : matches) result("matches: " + match.toString());
    return ExitDone;
}

int CliCommands::read()
{
    const QString path = options_.args.at(0);
    const FileCommands::Format format = formatOf(path);
    if (format == FileCommands::Format::E2p) {
        error("E2P files can be read but not written: choose bin, brg or hex for " + path);
        return ExitUsage;
    }
    if (const int code = prepare(true)) return code;
    QElapsedTimer clock;
    clock.start();
    session_.resetOutcome();
    session_.read();
    waitIdle();
    if (const int code = finish("nothing was written to " + path)) return code;
    const std::span<const uint8_t> image = session_.document().transfer().first(session_.chip().size);
    if (const int code = saveImage(path, format, image)) return code;
    report_["seconds"] = clock.elapsed() / 1000.0;
    result(QStringLiteral("read %1 bytes of %2 into %3 (CRC32 %4) in %5 s")
               .arg(image.size())
               .arg(QString::fromStdString(session_.chip().name), path, Hex(CRC32(image), 8))
               .arg(clock.elapsed() / 1000.0, 0, 'f', 2));
    return ExitDone;
}

int CliCommands::write()
{
    if (const int code = prepare(true)) return code;
    const QString path = options_.args.at(0);
    if (const int code = loadForChip(path)) return code;
    QElapsedTimer clock;
    clock.start();
    session_.resetOutcome();
    session_.settings().verify = !options_.noVerify;
    if (options_.full)
        session_.write(ops::WriteMode::Full);
    else
        session_.smartWrite();
    waitIdle();
    const DiffList& differences = session_.differences();
    report_["seconds"] = clock.elapsed() / 1000.0;
    if (!options_.noVerify) report_["differences"] = qint64(differences.size());
    const int code = finish(running_ == Operation::Write ? "the chip may be partly written (the log says how far)"
                                                         : "the chip was written but not verified");
    if (code) return code;
    result(QStringLiteral("wrote %1 into %2%3 in %4 s")
               .arg(path, QString::fromStdString(session_.chip().name), options_.noVerify ? "" : " and verified it")
               .arg(clock.elapsed() / 1000.0, 0, 'f', 2));
    return ExitDone;
}

int CliCommands::verify()
{
    if (const int code = prepare(true)) return code;
    const QString path = options_.args.at(0);
    if (const int code = loadForChip(path)) return code;
    session_.resetOutcome();
    session_.compare();
    waitIdle();
    if (const int code = finish("the chip was not changed"); code != ExitDone && code != ExitMismatch) return code;
    const DiffList& differences = session_.differences();
    const std::span<const uint8_t> file = session_.document().bytes();
    const std::span<const uint8_t> chip = session_.document().transfer();
    QJsonArray first;
    for (std::size_t i = 0; i < differences.size() && i < 10; ++i) {
        const uint32_t address = differences.address(i);
        first.append(QJsonObject{{"address", qint64(address)}, {"file", file[address]}, {"chip", chip[address]}});
        result(
            QStringLiteral("%1: file %2, chip %3").arg(Hex(address, 6), Hex(file[address], 2), Hex(chip[address], 2)));
    }
    report_["differences"] = qint64(differences.size());
    report_["firstDifferences"] = first;
    if (!differences.empty()) {
        error(QStringLiteral("%1 bytes differ between %2 and the chip").arg(differences.size()).arg(path));
        return ExitMismatch;
    }
    result("the chip holds " + path);
    return ExitDone;
}

int CliCommands::erase()
{
    if (const int code = prepare(true)) return code;
    if (!spiChipOrFail()) return ExitUsage;
    session_.resetOutcome();
    session_.erase();
    waitIdle();
    const int code = finish(running_ == Operation::Erase ? "the chip may still be erasing by itself"
                                                         : "the chip was erased but not checked");
    if (code) return code;
    result("erased " + QString::fromStdString(session_.chip().name) + " and found it blank");
    return ExitDone;
}

int CliCommands::blank()
{
    if (const int code = prepare(true)) return code;
    if (!spiChipOrFail()) return ExitUsage;
    session_.resetOutcome();
    session_.blankCheck();
    waitIdle();
    const int code = finish("the chip was not changed");
    if (code == ExitMismatch) {
        const std::span<const uint8_t> chip = session_.document().transfer().first(session_.chip().size);
        const auto notBlank = std::find_if(chip.begin(), chip.end(), [](uint8_t b) { return b != 0xFF; });
        report_["firstNonBlank"] = qint64(notBlank - chip.begin());
        result("not blank at " + Hex(uint64_t(notBlank - chip.begin()), 6));
    }
    if (code) return code;
    result(QString::fromStdString(session_.chip().name) + " is blank");
    return ExitDone;
}

int CliCommands::status()
{
    if (const int code = prepare(true)) return code;
    if (!spiChipOrFail()) return ExitUsage;
    session_.resetOutcome();
    const int count = session_.chip().statusRegisters;
    if (!options_.setRegisters.empty()) {
        if (int(options_.setRegisters.size()) > std::max(count, 1)) {
            error(QStringLiteral("%1 has %2 status register(s)")
                      .arg(QString::fromStdString(session_.chip().name))
                      .arg(count));
            return ExitUsage;
        }
        StatusShadow& shadow = session_.document().StatusShadow;
        session_.readStatus();
        std::copy(options_.setRegisters.begin(), options_.setRegisters.end(), shadow.SR.begin());
        session_.writeStatus();
        if (session_.outcome() != Outcome::Completed) return ExitCodeOf(session_.outcome());
    }
    const int registersRead = session_.readStatus();
    const std::array<uint8_t, 3> readValues = session_.document().StatusShadow.SR;
    QJsonArray values;
    for (int i = 0; i < registersRead; ++i) {
        values.append(readValues[std::size_t(i)]);
        result(QStringLiteral("SR%1 = %2").arg(i + 1).arg(Hex(readValues[std::size_t(i)], 2)));
    }
    report_["statusRegisters"] = values;
    if (registersRead < std::min(std::max(count, 1), 3)) return ExitIoFailure;
    for (std::size_t i = 0; i < options_.setRegisters.size(); ++i) {
        // Busy and write enable (bits 0 and 1 of register 1) are the chip's own: compare the rest.
        const uint8_t mask = i == 0 ? 0xFC : 0xFF;
        if ((readValues[i] & mask) != (options_.setRegisters[i] & mask)) {
            error(QStringLiteral("status register %1 reads %2 after writing %3")
                      .arg(i + 1)
                      .arg(Hex(readValues[i], 2), Hex(options_.setRegisters[i], 2)));
            return ExitIoFailure;
        }
    }
    return ExitCodeOf(session_.outcome());
}

int CliCommands::unprotect()
{
    if (const int code = prepare(true)) return code;
    if (!spiChipOrFail()) return ExitUsage;
    session_.resetOutcome();
    session_.unprotect();
    waitIdle(); // the MX25L2026 unprotect ends with a whole-chip erase
    if (const int code = finish("the chip may still be erasing by itself")) return code;
    const int registersRead = session_.readStatus();
    for (int i = 0; i < registersRead; ++i)
        result(QStringLiteral("SR%1 = %2").arg(i + 1).arg(Hex(session_.document().StatusShadow.SR[std::size_t(i)], 2)));
    return ExitCodeOf(session_.outcome());
}

int CliCommands::info()
{
    return describe(options_.args.at(0), formatOf(options_.args.at(0)));
}

int CliCommands::describe(const QString& path, FileCommands::Format format)
{
    const QFileInfo file(path);
    if (!file.exists() || !file.isFile()) {
        error("cannot open " + path + (file.exists() ? ": not a regular file" : ": no such file"));
        return ExitUsage;
    }
    Document& document = session_.document();
    // No chip is involved: room for a dump of the largest one.
    document.fitTransferToChip(chipdb::kMaxChipSize);
    const std::size_t room = document.transfer().size();
    const QString tooLarge = QStringLiteral("%1 holds more than the %2 bytes the buffer holds").arg(path).arg(room);
    std::size_t size = 0;
    if (format == FileCommands::Format::Hex) {
        const HexReadResult read = document.loadHex(path);
        if (read.result != HexRead::Complete) {
            error(path + " is not an Intel HEX file");
            return ExitUsage;
        }
        if (read.recordsSkipped > 0) {
            error(tooLarge);
            return ExitUsage;
        }
        size = read.bytesCopied;
    } else {
        const DumpLoad load = format == FileCommands::Format::E2p
                                  ? document.loadE2p(path, room)
                                  : document.loadBin(path, format == FileCommands::Format::Brg ? ".BRG" : ".BIN", room);
        if (load.result != DumpResult::Loaded) {
            error(QString::fromStdString(DumpErrorText(load.result, NativePath(path))));
            return ExitUsage;
        }
        // A dump cut at the buffer would be described, or converted, as if it were whole.
        const std::size_t header = format == FileCommands::Format::E2p ? kE2PHeaderSize : 0;
        if (uint64_t(file.size()) > load.bytesLoaded + header) {
            error(tooLarge);
            return ExitUsage;
        }
        size =
            load.bytesLoaded - (format == FileCommands::Format::Brg ? std::min<std::size_t>(load.bytesLoaded, 3) : 0);
    }
    const std::span<const uint8_t> data = document.transfer().first(size);
    report_["file"] = path;
    report_["format"] = FormatName(format);
    report_["bytes"] = qint64(size);
    report_["crc16"] = Hex(CRC16(data), 4);
    report_["crc32"] = Hex(CRC32(data), 8);
    result(QStringLiteral("%1: %2, %3 bytes, CRC16 %4, CRC32 %5")
               .arg(path, FormatName(format))
               .arg(size)
               .arg(Hex(CRC16(data), 4), Hex(CRC32(data), 8)));
    if (format == FileCommands::Format::Brg && size < std::size_t(file.size())) {
        const std::array<uint8_t, 3>& sr = document.StatusShadow.SR;
        report_["statusRegisters"] = QJsonArray{sr[0], sr[1], sr[2]};
        result(QStringLiteral("status registers %1 %2 %3").arg(Hex(sr[0], 2), Hex(sr[1], 2), Hex(sr[2], 2)));
    }
    return ExitDone;
}

// The input's format comes from its extension; --format, else the extension, gives the output's.
int CliCommands::convert()
{
    const QString in = options_.args.at(0), out = options_.args.at(1);
    if (const int code = describe(in, FileCommands::formatOfExtension(FileCommands::UpperExtension(in)))) return code;
    const std::size_t size = std::size_t(report_["bytes"].toInteger());
    const QJsonValue source = report_["format"];
    if (const int code = saveImage(out, formatOf(out), session_.document().transfer().first(size))) return code;
    report_["from"] = QJsonObject{{"file", in}, {"format", source}};
    result("wrote " + out);
    return ExitDone;
}
