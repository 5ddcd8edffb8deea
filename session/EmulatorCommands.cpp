#include "session/EmulatorCommands.h"

#include "session/EmulatedChips.h"
#include "session/Language.h"
#include "session/Session.h"

#include <QDir>

namespace {
QString FaultName(EmulatedFault fault)
{
    switch (fault) {
    case EmulatedFault::UsbError: return Localized("a USB transfer error", "ошибка передачи USB");
    case EmulatedFault::I2cNak: return Localized("a NAK on the I2C bus", "NAK на шине I2C");
    case EmulatedFault::ChipStaysBusy: return Localized("the chip stays busy", "чип остаётся занятым");
    case EmulatedFault::Pulled: return Localized("the adapter is pulled out", "адаптер извлекается");
    case EmulatedFault::CorruptReply: return Localized("a corrupted reply byte", "искажённый байт ответа");
    }
    return {};
}

QString Native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}
} // namespace

EmulatorCommands::EmulatorCommands(Session& session) : session_(session) {}

bool EmulatorCommands::available() const
{
    return session_.adapter().Emulator != nullptr;
}

bool EmulatorCommands::plugged() const
{
    return available() && session_.adapter().Emulator->plugged();
}

void EmulatorCommands::unplug()
{
    if (available()) session_.adapter().Emulator->unplug();
}

void EmulatorCommands::plug()
{
    if (available()) session_.adapter().Emulator->plug();
}

QStringList EmulatorCommands::chipNames() const
{
    QStringList names;
    for (const chipdb::ChipRecord& row : session_.catalogue().ClientDataSet.rows())
        if (EmulatedChipOf(row)) names << QString::fromStdString(row.CHIPTEXT);
    return names;
}

QString EmulatorCommands::chipInSocket() const
{
    if (socketEmpty()) return {};
    return chipPut_ ? socket_ : session_.adapter().startChip();
}

bool EmulatorCommands::socketEmpty() const
{
    return available() && session_.adapter().Emulator->config().emptySocket;
}

bool EmulatorCommands::i2cChipInSocket() const
{
    return available() && !socketEmpty() &&
           EmulatedFamilyOf(session_.adapter().Emulator->config().kind) == EmulatedChipFamily::I2cEeprom;
}

bool EmulatorCommands::putChip(const QString& name)
{
    if (!available()) return false;
    // The worker holds the adapter while it runs.
    if (session_.busy()) {
        session_.PrintLog(
            Localized("The chip cannot be changed while an operation runs", "Чип нельзя сменить во время операции"),
            LogColour::Red);
        return false;
    }
    EmulatedChipConfig config = EmptySocket();
    if (!name.isEmpty()) {
        const chipdb::ChipRecord* row = session_.catalogue().find(name.toStdString());
        const auto chip = row ? EmulatedChipOf(*row) : std::nullopt;
        if (!chip) {
            session_.PrintLog(Localized("This chip cannot be emulated: ", "Этот чип не эмулируется: ") + name,
                              LogColour::Red);
            return false;
        }
        config = *chip;
        const AdapterSession& adapter = session_.adapter();
        config.imageFile = EmulatedImageOf(adapter.emulation().image, adapter.startChip(), name).toStdString();
    }
    const QString image = QString::fromStdString(config.imageFile.string());
    session_.adapter().Emulator->insertChip(std::move(config));
    session_.knownChip().forget(); // another chip: what was read from the last one says nothing
    socket_ = name;
    chipPut_ = true;
    if (name.isEmpty())
        session_.PrintLog(Localized("Emulator: the socket is empty", "Эмулятор: панелька пуста"));
    else if (image.isEmpty())
        session_.PrintLog(
            Localized("Emulator: an erased %1 is in the socket", "Эмулятор: в панельке чистый %1").arg(name));
    else
        session_.PrintLog(Localized("Emulator: %1 is in the socket, its contents are kept in %2",
                                    "Эмулятор: в панельке %1, его содержимое хранится в %2")
                              .arg(name, Native(image)));
    return true;
}

void EmulatorCommands::armFault(EmulatedFault fault, uint64_t afterPackets)
{
    if (!available()) return;
    session_.adapter().Emulator->armFault(fault, afterPackets);
    session_.PrintLog(Localized("Emulator: %1 on the next operation, USB packets before it: %2",
                                "Эмулятор: %1 при следующей операции, USB-пакетов до сбоя: %2")
                          .arg(FaultName(fault), QString::number(afterPackets)));
}

void EmulatorCommands::clearFault()
{
    if (!available()) return;
    session_.adapter().Emulator->clearFault();
    session_.PrintLog(Localized("Emulator: no fault armed", "Эмулятор: сбой отменён"));
}

bool EmulatorCommands::startBusLog(const QString& path)
{
    if (!available() || path.isEmpty()) return false;
    QString& file = session_.adapter().emulation().logFile;
    if (!session_.adapter().Emulator->setLogFile(path.toStdString())) {
        session_.PrintLog(Localized("The bus log cannot be written to ", "Журнал шины не удаётся записать в ") +
                              Native(path),
                          LogColour::Red);
        return false; // the file written so far, if any, goes on
    }
    file = path;
    session_.PrintLog(Localized("Emulator: the bus log is written to ", "Эмулятор: журнал шины пишется в ") +
                      Native(path));
    return true;
}

void EmulatorCommands::stopBusLog()
{
    QString& file = session_.adapter().emulation().logFile;
    if (!available() || file.isEmpty()) return;
    session_.adapter().Emulator->setLogFile({});
    session_.PrintLog(Localized("Emulator: the bus log is closed: ", "Эмулятор: журнал шины закрыт: ") + Native(file));
    file.clear();
}

QString EmulatorCommands::busLogFile() const
{
    return available() ? session_.adapter().emulation().logFile : QString();
}

bool EmulatorCommands::saveImage()
{
    return available() && session_.adapter().Emulator->flushImage();
}
