#include "cli/CliCommands.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QLocale>
#include <QStandardPaths>
#include <algorithm>
#include <cstdio>

namespace {
QString Hex(uint64_t value, int digits)
{
    return QStringLiteral("0x") + QString::number(value, 16).toUpper().rightJustified(digits, QLatin1Char('0'));
}

// An id as a fixed hexadecimal string: "EF4017".
QString IdText(std::span<const uint8_t> bytes)
{
    QString text;
    for (const uint8_t b : bytes) text += QString::number(b, 16).toUpper().rightJustified(2, QLatin1Char('0'));
    return text;
}

QString ResultName(int code)
{
    static const char* const names[] = {"ok",         "mismatch",  "usage",   "not-found",
                                        "io-failure", "cancelled", "refused", "wrong-chip"};
    return QString::fromLatin1(code >= 0 && code <= 7 ? names[code] : "io-failure");
}

QString FormatName(DumpFormat format)
{
    return QLatin1String(InfoOf(format).name);
}

// The chip name the emulated adapter holds when none is given.
constexpr const char* DefaultEmulatedChipName = "W25Q64FV";
} // namespace

CliCommands::CliCommands(const CliOptions& options) : CliFrontEnd(options), options_(options), session_(*this)
{
    // The command line writes only the files it is given, and cancels with Ctrl+C, not Esc.
    session_.automaticDumps = false;
    session_.cancelHints = false;
}

void CliCommands::result(const QString& line)
{
    if (options_.quiet || options_.json || dataOnStdout_) return;
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
    else if (c == "help")
        code = help();
    code = saveEmulatedImage(code);
    endProgress();
    report_["exitCode"] = code;
    report_["result"] = ResultName(code);
    report_["errors"] = QJsonArray::fromStringList(errors());
    return code;
}

void CliCommands::interrupt(const char* signalName)
{
    interrupted_ = true;
    signal_ = signalName;
    session_.cancel();
}

int CliCommands::help()
{
    std::printf("%s", qPrintable(options_.args.isEmpty() ? CliUsage() : CommandUsage(options_.args.first())));
    return ExitDone;
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

    EmulationOptions emulation = options_.emulation;
    if (emulation.on) {
        // The chip worked on and the chip in the socket name each other when only one is given;
        // with neither, the socket holds the default chip and that is the one worked on.
        if (emulation.chip.isEmpty())
            emulation.chip = options_.chip.isEmpty() ? DefaultEmulatedChipName : options_.chip;
        if (!catalogue.find(emulation.chip.toStdString())) {
            error("--emulate: no chip named " + emulation.chip + " in the database");
            return ExitNotFound;
        }
        if (!emulation.image.isEmpty()) {
            // The chip's contents go there at the end: a file that cannot be written is refused
            // before anything is done, not found out once the chip was changed.
            const QFileInfo image(emulation.image);
            const QString problem = image.exists() ? (image.isFile() && image.isWritable()
                                                          ? QString()
                                                          : "cannot write " + emulation.image + ": not a writable file")
                                                   : CheckOutputPath(emulation.image);
            if (!problem.isEmpty()) {
                error("--emulate-image: " + problem);
                return ExitUsage;
            }
        }
    }
    AdapterSession& adapterSession = session_.adapter();
    adapterSession.setEmulation(emulation);
    const QString socketChip = emulation.on ? emulation.chip : options_.chip;
    catalogue.chip.name = socketChip.isEmpty() ? settings.chipName.toStdString() : socketChip.toStdString();
    if (emulation.on)
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
    QString name = options_.chip;
    if (name.isEmpty() && options_.emulation.on) name = QString::fromStdString(catalogue.chip.name);
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
    report_["chip"] = chipJson();
    return ExitDone;
}

QJsonObject CliCommands::chipJson() const
{
    const chipdb::Chip& chip = const_cast<Session&>(session_).chip();
    return QJsonObject{{"name", QString::fromStdString(chip.name)},
                       {"kind", QLatin1String(chipdb::PublicKindName(chip))},
                       {"size", qint64(chip.size)},
                       {"pageSize", qint64(chip.pageSize)}};
}

void CliCommands::waitIdle()
{
    waitWhileBusy([this] { return session_.busy(); });
}

int CliCommands::finish(const QString& chipState)
{
    const Outcome outcome =
        interrupted_ && session_.outcome() == Outcome::Completed ? Outcome::Cancelled : session_.outcome();
    if (outcome == Outcome::Cancelled)
        error(QStringLiteral("cancelled%1: %2")
                  .arg(signal_ ? QStringLiteral(" (%1)").arg(signal_) : QString(), chipState));
    return ExitCodeOf(outcome);
}

int CliCommands::saveEmulatedImage(int code)
{
    if (!options_.emulation.on || options_.emulation.image.isEmpty() || !session_.emulator().available()) return code;
    if (session_.emulator().saveImage()) return code;
    error("--emulate-image: the emulated chip's contents could not be saved to " + options_.emulation.image);
    return code == ExitDone ? ExitIoFailure : code;
}

bool CliCommands::chipFamily(bool spi, bool i2c, bool microwire)
{
    const chipdb::Chip& chip = session_.chip();
    if ((spi && chip.isSpi()) || (i2c && chip.isI2c()) || (microwire && chip.family == chipdb::Family::Microwire93))
        return true;
    error(options_.command + " does not work on " + QString::fromStdString(chip.name) + " (" +
          QLatin1String(chipdb::PublicKindName(chip)) + ")");
    return false;
}

DumpFormat CliCommands::formatOf(const QString& path) const
{
    if (const auto named = FormatNamed(options_.format)) return *named;
    return FormatOfExtension(UpperExtension(path));
}

// --- Files ---

int CliCommands::saveImage(const QString& path, DumpFormat format, std::span<const uint8_t> data,
                           std::span<const uint8_t> registers)
{
    if (!InfoOf(format).writable) {
        error("E2P files can be read but not written: choose bin, brg or hex for " + path);
        return ExitUsage;
    }
    if (const std::error_code failure = SaveDump(path, format, data, registers)) {
        error("cannot write " + (IsStandardStream(path) ? QStringLiteral("standard output") : path) + ": " +
              QString::fromStdString(failure.message()));
        return ExitIoFailure;
    }
    const Checksums sums = ChecksumsOf(data);
    report_["file"] = path;
    report_["format"] = FormatName(format);
    report_["bytes"] = qint64(data.size());
    report_["crc32"] = Hex(sums.crc32, 8);
    return ExitDone;
}

void CliCommands::keepRecovery(std::span<const uint8_t> data)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (folder.isEmpty() || !QDir().mkpath(folder)) folder = QDir::tempPath();
    const QString path = QDir(folder).filePath(QStringLiteral("recovered-%1-%2.bin")
                                                   .arg(QString::fromStdString(session_.chip().name))
                                                   .arg(QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss")));
    if (SaveDump(path, DumpFormat::Bin, data))
        error("the chip's contents could not be kept anywhere else either");
    else {
        error("the chip's contents are kept in " + path);
        report_["recoveryFile"] = path;
    }
}

int CliCommands::loadForChip(const QString& path)
{
    Document& document = session_.document();
    const uint32_t chipSize = session_.chip().size;
    const DumpFormat format = formatOf(path);
    std::vector<uint8_t> bytes(std::max<std::size_t>(document.transfer().size(), chipSize + 3));
    const LoadedDump load = LoadDump(path, format, bytes);
    if (!load.ok()) {
        error(load.error);
        return ExitUsage;
    }
    const QString name = QString::fromStdString(session_.chip().name);
    const QString shown = IsStandardStream(path) ? QStringLiteral("standard input") : path;
    if (load.bytes > chipSize) {
        error(QStringLiteral("%1 holds %2 bytes, more than the %3 bytes of %4")
                  .arg(shown)
                  .arg(load.bytes)
                  .arg(chipSize)
                  .arg(name));
        return ExitUsage;
    }
    if (load.bytes < chipSize) {
        if (!options_.pad) {
            error(QStringLiteral("%1 holds %2 bytes, fewer than the %3 bytes of %4 (--pad fills the rest with FF)")
                      .arg(shown)
                      .arg(load.bytes)
                      .arg(chipSize)
                      .arg(name));
            return ExitUsage;
        }
        std::fill(bytes.begin() + std::ptrdiff_t(load.bytes), bytes.begin() + chipSize, 0xFF);
    }
    if (load.registers) document.StatusShadow.SR = *load.registers;
    document.CurrentFileName = path;
    document.showInEditor(std::span<const uint8_t>(bytes).first(chipSize), false);
    report_["file"] = path;
    report_["format"] = FormatName(format);
    report_["bytes"] = qint64(load.bytes);
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
        const chipdb::Chip chip = chipdb::ChipFromRecord(row);
        const QString kind = QLatin1String(chipdb::PublicKindName(chip));
        QJsonObject entry{{"name", name},
                          {"manufacturer", QString::fromStdString(row.MANUF)},
                          {"kind", kind},
                          {"size", qint64(chip.size)},
                          {"pageSize", qint64(chip.pageSize)}};
        if (!row.SIGNATURE.empty()) entry["id"] = QString::fromStdString(row.SIGNATURE).toUpper();
        chips.append(entry);
        result(QStringLiteral("%1 %2 %3 %4 %5")
                   .arg(name, -22)
                   .arg(QString::fromStdString(row.MANUF), -14)
                   .arg(kind, -16)
                   .arg(qint64(chip.size), 10)
                   .arg(qint64(chip.pageSize), 6));
    }
    report_["chips"] = chips;
    return ExitDone;
}

int CliCommands::detect()
{
    if (const int code = prepare(false)) return code;
    AdapterSession& adapter = session_.adapter();
    EmulationOptions emulation = options_.emulation;
    if (emulation.on && emulation.chip.isEmpty()) emulation.chip = DefaultEmulatedChipName;
    if (emulation.on && !session_.catalogue().find(emulation.chip.toStdString())) {
        error("--emulate: no chip named " + emulation.chip + " in the database");
        return ExitNotFound;
    }
    adapter.setEmulation(emulation);
    session_.catalogue().chip.name = emulation.chip.toStdString();
    if (emulation.on)
        adapter.CreateEmulatedAdapter();
    else
        adapter.RegisterAdapterNotification();
    adapter.InitDevice();
    const Session::Detection found = session_.detect();
    report_["adapter"] = found.adapter.isEmpty() ? QJsonValue() : QJsonValue(found.adapter);
    if (found.adapter.isEmpty()) return ExitNotFound;
    result("adapter: " + found.adapter + " present");
    if (!found.answered) {
        report_["chip"] = QJsonValue();
        result("no chip: nothing answers in the socket (JEDEC and RES ids read all ones or all zeros)");
        return ExitNotFound;
    }
    report_["ids"] =
        QJsonObject{{"jedec", IdText(found.jedec)}, {"res", IdText(found.res)}, {"rems", IdText(found.rems)}};
    result("JEDEC ID(9F) = " + IdText(found.jedec));
    result("RES ID(AB) = " + IdText(found.res));
    result("REMS ID(90) = " + IdText(found.rems));
    report_["matches"] = QJsonArray::fromStringList(found.matches);
    if (found.matches.isEmpty()) {
        result("no chip of the database has the id " + found.signature);
        return ExitNotFound;
    }
    for (const QString& match : found.matches) result("matches: " + match);
    return ExitDone;
}

int CliCommands::read()
{
    const QString path = options_.args.at(0);
    const DumpFormat format = formatOf(path);
    if (!InfoOf(format).writable) {
        error("E2P files can be read but not written: choose bin, brg or hex for " + path);
        return ExitUsage;
    }
    // A file that cannot be made is found out before a minute of reading, not after it.
    if (const QString problem = CheckOutputPath(path); !problem.isEmpty()) {
        error(problem);
        return ExitIoFailure;
    }
    dataOnStdout_ = IsStandardStream(path);
    if (const int code = prepare(true)) return code;
    QElapsedTimer clock;
    clock.start();
    session_.resetOutcome();
    session_.read();
    waitIdle();
    if (const int code = finish("nothing was written to " + path)) return code;
    const std::span<const uint8_t> image = session_.document().transfer().first(session_.chip().size);
    // An SPI chip's status registers, as the read found them, travel in a BRG file.
    const std::span<const uint8_t> registers = session_.isSpiChip()
                                                   ? std::span<const uint8_t>(session_.document().StatusShadow.SR)
                                                   : std::span<const uint8_t>();
    if (const int code = saveImage(path, format, image, registers)) {
        keepRecovery(image);
        return code;
    }
    report_["seconds"] = clock.elapsed() / 1000.0;
    result(QStringLiteral("read %1 bytes of %2 into %3 (CRC32 %4) in %5 s")
               .arg(image.size())
               .arg(QString::fromStdString(session_.chip().name), path, report_["crc32"].toString())
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
    const ops::WriteReport& written = session_.writeReport();
    report_["seconds"] = clock.elapsed() / 1000.0;
    report_["chipErased"] = written.chipErased;
    report_["sectorsErased"] = qint64(written.sectorsErased);
    report_["sectors"] = qint64(written.sectors);
    report_["pagesProgrammed"] = qint64(written.pagesProgrammed);
    report_["pages"] = qint64(written.pages);
    if (!options_.noVerify) report_["differences"] = qint64(session_.differences().size());
    if (const int code = finish(running_ == Operation::Compare ? "the chip was written but not verified"
                                                               : "the chip may be partly written (see above)"))
        return code;
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
    if (!chipFamily(true, false, true)) return ExitUsage;
    session_.resetOutcome();
    session_.erase();
    waitIdle();
    if (const int code = finish(running_ == Operation::Erase ? "the chip may still be erasing by itself"
                                                             : "the chip was erased but not checked"))
        return code;
    result("erased " + QString::fromStdString(session_.chip().name) + " and found it blank");
    return ExitDone;
}

int CliCommands::blank()
{
    if (const int code = prepare(true)) return code;
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
    if (!chipFamily(true, false, false)) return ExitUsage;
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
    const std::array<uint8_t, 3> values = session_.document().StatusShadow.SR;
    QJsonArray read;
    for (int i = 0; i < registersRead; ++i) {
        read.append(Hex(values[std::size_t(i)], 2));
        result(QStringLiteral("SR%1 = %2").arg(i + 1).arg(Hex(values[std::size_t(i)], 2)));
    }
    report_["statusRegisters"] = read;
    if (registersRead < std::clamp(count, 1, 3)) return ExitIoFailure;
    for (std::size_t i = 0; i < options_.setRegisters.size(); ++i) {
        // Busy and write enable (bits 0 and 1 of register 1) are the chip's own: compare the rest.
        const uint8_t mask = i == 0 ? 0xFC : 0xFF;
        if ((values[i] & mask) != (options_.setRegisters[i] & mask)) {
            error(QStringLiteral("status register %1 reads %2 after writing %3")
                      .arg(i + 1)
                      .arg(Hex(values[i], 2), Hex(options_.setRegisters[i], 2)));
            return ExitIoFailure;
        }
    }
    return ExitCodeOf(session_.outcome());
}

int CliCommands::unprotect()
{
    if (const int code = prepare(true)) return code;
    if (!chipFamily(true, false, false)) return ExitUsage;
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
    const QString path = options_.args.at(0);
    const DumpFormat format = formatOf(path);
    // No chip is involved: room for a dump of the largest one.
    Document& document = session_.document();
    document.fitTransferToChip(chipdb::kMaxChipSize);
    const LoadedDump load = LoadDump(path, format, document.transfer());
    if (!load.ok()) {
        error(load.error);
        return ExitUsage;
    }
    const std::span<const uint8_t> data = document.transfer().first(load.bytes);
    const Checksums sums = ChecksumsOf(data);
    report_["file"] = path;
    report_["format"] = FormatName(format);
    report_["bytes"] = qint64(load.bytes);
    report_["crc16"] = Hex(sums.crc16, 4);
    report_["crc32"] = Hex(sums.crc32, 8);
    result(QStringLiteral("%1: %2, %3 bytes, CRC16 %4, CRC32 %5")
               .arg(path, FormatName(format))
               .arg(load.bytes)
               .arg(Hex(sums.crc16, 4), Hex(sums.crc32, 8)));
    if (load.registers) {
        const std::array<uint8_t, 3>& sr = *load.registers;
        report_["statusRegisters"] = QJsonArray{Hex(sr[0], 2), Hex(sr[1], 2), Hex(sr[2], 2)};
        result(QStringLiteral("status registers %1 %2 %3").arg(Hex(sr[0], 2), Hex(sr[1], 2), Hex(sr[2], 2)));
    }
    return ExitDone;
}

// The input's format comes from its extension (or --format for standard input); --format, else
// the extension, gives the output's.
int CliCommands::convert()
{
    const QString in = options_.args.at(0), out = options_.args.at(1);
    const DumpFormat from = IsStandardStream(in) && FormatNamed(options_.format)
                                ? *FormatNamed(options_.format)
                                : FormatOfExtension(UpperExtension(in));
    const DumpFormat to = formatOf(out);
    if (const QString problem = CheckOutputPath(out); !problem.isEmpty()) {
        error(problem);
        return ExitIoFailure;
    }
    dataOnStdout_ = IsStandardStream(out);
    Document& document = session_.document();
    document.fitTransferToChip(chipdb::kMaxChipSize);
    const LoadedDump load = LoadDump(in, from, document.transfer());
    if (!load.ok()) {
        error(load.error);
        return ExitUsage;
    }
    std::array<uint8_t, 3> registers{};
    if (to == DumpFormat::Brg) {
        if (load.registers)
            registers = *load.registers;
        else
            note("no status registers in " + in + ": the BRG file's trailer holds 00 00 00");
        report_["statusRegisters"] = QJsonArray{Hex(registers[0], 2), Hex(registers[1], 2), Hex(registers[2], 2)};
        report_["statusRegistersFrom"] = load.registers ? "input" : "zeros";
    }
    if (const int code = saveImage(out, to, document.transfer().first(load.bytes), registers)) return code;
    report_["from"] = QJsonObject{{"file", in}, {"format", FormatName(from)}};
    result("wrote " + out +
           (to == DumpFormat::Brg && !load.registers ? " (status registers 00 00 00: none in " + in + ")" : ""));
    return ExitDone;
}
