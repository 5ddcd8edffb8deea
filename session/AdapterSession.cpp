#include "session/AdapterSession.h"

#include "adapter/AdapterFactory.h"
#include "session/EmulatedChips.h"
#include "session/Language.h"
#include "session/Session.h"

#include <QMetaObject>
#include <utility>

namespace {
// The fast emulated adapter's round trip.
constexpr std::chrono::microseconds EmulatedRoundTrip(250);

const char* const speedTexts[] = {"20KHz", "100KHz", "400KHz", "750KHz"};

enum AdapterEvent { Removed = 0, AboutToBeRemoved = 1, Arrived = 3 };
} // namespace

AdapterSession::AdapterSession(Session& session) : session_(session) {}

AdapterSession::~AdapterSession()
{
    if (adapter_) adapter_->setEventHandler({});
}

int AdapterSession::slaveAddress() const
{
    const int address = session_.settings().slaveAddress;
    return address >= 0 && address <= 0xFF ? address : 0xA0;
}

bool AdapterSession::present() const
{
    return session_.adapterHandle != -1;
}

void AdapterSession::CreateAdapter(const chipdb::ChipRecord* emulatedRow)
{
    AdapterOptions adapterOptions;
    adapterOptions.emulate = emulation_.on;
    if (emulatedRow) {
        const auto config = EmulatedChipOf(*emulatedRow);
        if (config) {
            adapterOptions.chip = *config;
            startChip_ = QString::fromStdString(emulatedRow->CHIPTEXT);
        } else {
            session_.PrintLog(Localized("This chip cannot be emulated, the emulated adapter holds a W25Q64 instead: ",
                                        "Этот чип не эмулируется, в эмулируемом адаптере W25Q64: ") +
                                  QString::fromStdString(emulatedRow->CHIPTEXT),
                              LogColour::Red);
        }
    }
    adapterOptions.chip.imageFile = emulation_.image.toStdString();
    // At the real adapter's pace the emulator takes as long as the real adapter would; the fast
    // one still answers as a full-speed USB round trip would, so progress and Esc look real.
    adapterOptions.pace = emulation_.fast ? AdapterPace::Fast : AdapterPace::RealAdapter;
    adapterOptions.roundTripLatency = EmulatedRoundTrip;
    adapterOptions.statusPreset = emulation_.status;
    adapterOptions.logFile = emulation_.logFile.toStdString();
    Adapter created = ::CreateAdapter(adapterOptions);
    adapter_ = std::move(created.device);
    Emulator = std::move(created.emulator);
    if (created.logFileFailed) {
        session_.fail(Outcome::IoFailure,
                      Localized("The bus log cannot be written to ", "Журнал шины не удаётся записать в ") +
                          emulation_.logFile);
        emulation_.logFile.clear(); // nothing is written there
    }
    if (Emulator && emulation_.fault) Emulator->armFault(emulation_.fault->fault, emulation_.fault->afterPackets);
    listen();
}

void AdapterSession::useAdapter(std::shared_ptr<bus::Adapter> adapter, std::shared_ptr<EmulatedCh341> emulator)
{
    if (adapter_) adapter_->setEventHandler({});
    adapter_ = std::move(adapter);
    Emulator = std::move(emulator);
    listen();
}

void AdapterSession::listen()
{
    // The library may report hot-plug events on a thread of its own; they are handled on the
    // session's thread, in the order they came.
    // A report of an adapter replaced since then is dropped.
    const unsigned generation = ++generation_;
    adapter_->setEventHandler([this, generation](int event) {
        QMetaObject::invokeMethod(
            &context_,
            [this, generation, event] {
                if (generation == generation_) AdapterNotify(event);
            },
            Qt::QueuedConnection);
    });
}

void AdapterSession::RegisterAdapterNotification()
{
    if (!emulation_.on) CreateAdapter(nullptr);
}

// The emulated adapter holds the chip named on the command line, else the selected chip, else
// the default chip.
void AdapterSession::CreateEmulatedAdapter()
{
    if (!emulation_.on || adapter_) return;
    const std::string wanted = emulation_.chip.toStdString();
    const chipdb::ChipRecord* row = session_.catalogue().find(wanted.empty() ? session_.chip().name : wanted);
    if (!row && !wanted.empty())
        session_.PrintLog(Localized("No chip of that name in the database, the emulated adapter holds a W25Q64: ",
                                    "Чипа с таким именем нет в базе, в эмулируемом адаптере W25Q64: ") +
                              emulation_.chip,
                          LogColour::Red);
    CreateAdapter(row);
}

void AdapterSession::InitDevice()
{
    adapter_->close();
    const UsbStatus opened = adapter_->open();
    session_.adapterHandle = opened == UsbStatus::Ok ? 1 : -1;
    const int speedIndex = session_.settings().i2cSpeed;
    if (session_.adapterHandle == -1) {
        session_.fail(Outcome::NoDevice, Localized("CH341 programmer not found!", "Устройство CH341 не обнаружено!"));
        ExplainOpenFailure(opened);
        session_.ActivateControls(NoAdapter);
        session_.statusChanged();
        return;
    }
    if (!adapter_->i2c() || !adapter_->i2c()->setSpeed(speedIndex)) {
        session_.fail(Outcome::IoFailure, QStringLiteral("CH341SetStream failed!"));
        session_.ActivateControls(Ready);
        session_.statusChanged();
        return;
    }
    const QString speed = speedIndex >= 0 && speedIndex <= 3 ? speedTexts[speedIndex] : "";
    const QString address = Localized("I2C Slave Address = 0x", "Адрес ведомого I2C = 0x") +
                            QString::number(slaveAddress(), 16).toUpper().rightJustified(2, QLatin1Char('0')) +
                            QLatin1Char('\n');
    session_.PrintLog(
        Localized("CH341 programmer detected,\nI2C bus frequency ", "Устройство CH341 подключено, \nЧастота I2C ") +
        speed + QLatin1Char('\n') + address);
    session_.ActivateControls(Ready);
    session_.statusChanged();
}

// An adapter that is there but cannot be opened needs a different fix than a missing one.
void AdapterSession::ExplainOpenFailure(UsbStatus status)
{
    if (status == UsbStatus::NotFound || status == UsbStatus::Ok) return;
    session_.PrintLog(Localized(DescribeUsbStatus(status)), LogColour::Red);
}

void AdapterSession::Mm_SPEED_LOWClick(int tag)
{
    session_.settings().i2cSpeed = tag;
    InitDevice();
}

void AdapterSession::MmAckClick(bool checked)
{
    session_.settings().ackCheck = checked;
    session_.PrintLog(checked ? Localized("\nSelected mode \"Test ACK\"", "\nВыбран режим \"Проверка ACK\"")
                              : Localized("\nSelected mode \"No test ACK\"", "\nВыбран режим \"Без проверки ACK\""));
}

void AdapterSession::AdapterNotify(int event)
{
    session_.knownChip().forget(); // the chip may have changed with the adapter
    const bool busy = session_.busy();
    switch (event) {
    case Removed:
        session_.PrintLog(Localized("CH341 programmer removed\n", "Устройство CH341 извлечено\n"));
        session_.adapterHandle = -1;
        if (busy) {
            removalHeld_ = true;
            arrivalHeld_ = false;
            break;
        }
        adapter_->close();
        session_.ActivateControls(NoAdapter);
        break;
    case AboutToBeRemoved: session_.events().inform(QStringLiteral("detected device will be pulled")); break;
    case Arrived:
        if (busy)
            arrivalHeld_ = true;
        else
            InitDevice();
        break;
    default: break;
    }
    session_.statusChanged();
}

bool AdapterSession::ApplyHeldEvents()
{
    const bool removed = std::exchange(removalHeld_, false), arrived = std::exchange(arrivalHeld_, false);
    if (removed) adapter_->close();
    if (arrived)
        InitDevice();
    else if (removed)
        session_.ActivateControls(NoAdapter);
    return removed || arrived;
}

void AdapterSession::CloseAdapter()
{
    if (adapter_) adapter_->close();
}

void AdapterSession::ResetAdapter()
{
    if (adapter_) adapter_->reset();
}
