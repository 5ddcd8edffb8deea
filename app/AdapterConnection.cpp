// The adapter in the main window: choosing the real or the emulated CH341A, opening it at the
// chosen I2C speed, following it through removal and arrival, and releasing it at the end.
#include "app/Language.h"
#include "app/MainController.h"
#include "adapter/AdapterFactory.h"
#include "i2c/SlaveAddress.h"

#include <QMetaObject>

namespace {
// The emulated adapter answers as fast as a full-speed USB adapter would, so progress, Esc and
// timings in a trial run look like the real thing.
constexpr std::chrono::microseconds EmulatedRoundTrip(250);

const char *const speedTexts[] = {"20KHz", "100KHz", "400KHz", "750KHz"};

enum AdapterEvent { Removed = 0, AboutToBeRemoved = 1, Arrived = 3 };
} // namespace

void MainController::CreateAdapter(const chipdb::ChipRecord *emulatedRow)
{
    AdapterOptions adapterOptions;
    adapterOptions.emulate = options.emulate;
    if (emulatedRow) {
        const auto config = MakeEmulatedChipConfig({emulatedRow->CHIPTEXT, emulatedRow->CHIPID,
                                                   uint32_t(emulatedRow->CHIPSIZE.value_or(0)),
                                                   uint32_t(emulatedRow->PAGESIZE.value_or(0)),
                                                   emulatedRow->SIGNATURE, emulatedRow->ERTIME.value_or(0),
                                                   emulatedRow->MANUF});
        if (config)
            adapterOptions.chip = *config;
        else
            PrintLog(Lang("This chip cannot be emulated, the emulated adapter holds a W25Q64 instead: ",
                          "Этот чип не эмулируется, в эмулируемом адаптере W25Q64: ")
                         + QString::fromStdString(emulatedRow->CHIPTEXT),
                     LogColour::Red);
    }
    adapterOptions.chip.imageFile = options.emulatedImage.toStdString();
    adapterOptions.roundTripLatency = EmulatedRoundTrip;
    Adapter created = ::CreateAdapter(adapterOptions);
    Library = std::move(created.library);
    Emulator = std::move(created.emulator);
    // The library may report hot-plug events on a thread of its own; the window handles them on its
    // thread, in the order they came.
    Library->CH341SetDeviceNotify(AdapterIndex, nullptr, [this](int event) {
        QMetaObject::invokeMethod(this, [this, event] { AdapterNotify(event); }, Qt::QueuedConnection);
    });
}

// The emulated adapter holds the chip named on the command line, else the saved chip, else the
// default chip; it can only be set up once the chip database is loaded.
void MainController::RegisterAdapterNotification()
{
    if (!options.emulate)
        CreateAdapter(nullptr);
}

void MainController::CreateEmulatedAdapter()
{
    if (!options.emulate || Library)
        return;
    const std::string wanted = options.emulatedChip.toStdString();
    const chipdb::ChipRecord *row = nullptr;
    for (const chipdb::ChipRecord &candidate : ClientDataSet.rows())
        if (candidate.CHIPTEXT == (wanted.empty() ? chip.ChipName : wanted))
            row = &candidate;
    if (!row && !wanted.empty())
        PrintLog(Lang("No chip of that name in the database, the emulated adapter holds a W25Q64: ",
                      "Чипа с таким именем нет в базе, в эмулируемом адаптере W25Q64: ")
                     + options.emulatedChip,
                 LogColour::Red);
    CreateAdapter(row);
}

void MainController::InitDevice()
{
    Library->CH341CloseDevice(AdapterIndex);
    status.adapterHandle = int(Library->CH341OpenDevice(AdapterIndex));
    if (status.adapterHandle == -1) {
        PrintLog(Lang("CH341 programmer not found!", "Устройство CH341 не обнаружено!"), LogColour::Red);
        ExplainOpenFailure(Library->lastStatus());
        ActivateControls(NoAdapter);
        RepaintStatusBar();
        return;
    }
    if (!Library->CH341SetStream(AdapterIndex, uint8_t(current.i2cSpeed))) {
        PrintLog(QStringLiteral("CH341SetStream failed!"), LogColour::Red);
        ActivateControls(Ready);
        RepaintStatusBar();
        return;
    }
    const QString speed = current.i2cSpeed >= 0 && current.i2cSpeed <= 3 ? speedTexts[current.i2cSpeed] : "";
    const QString address = QStringLiteral("I2C Slave Address = 0x")
                            + QString::number(SlaveAddress.load(), 16).toUpper().rightJustified(2, QLatin1Char('0'))
                            + QLatin1Char('\n');
    PrintLog(Lang("CH341 programmer detected,\nI2C bus frequency ", "Устройство CH341 подключено, \nЧастота I2C ")
             + speed + QLatin1Char('\n') + address);
    ActivateControls(Ready);
    RepaintStatusBar();
}

// An adapter that is there but cannot be opened needs a different fix than a missing one.
void MainController::ExplainOpenFailure(UsbStatus status)
{
    if (status == UsbStatus::NotFound || status == UsbStatus::Ok)
        return;
    const UsbStatusText text = DescribeUsbStatus(status);
    PrintLog(QString::fromUtf8(LanguageId == 0 ? text.russian.data() : text.english.data(),
                               qsizetype(LanguageId == 0 ? text.russian.size() : text.english.size())),
             LogColour::Red);
}

void MainController::Mm_SPEED_LOWClick(int tag)
{
    current.i2cSpeed = tag;
    InitDevice();
}

void MainController::MmAckClick()
{
    current.ackCheck = view.isChecked("MmAck");
    PrintLog(current.ackCheck ? Lang("\nSelected mode \"Test ACK\"", "\nВыбран режим \"Проверка ACK\"")
                              : Lang("\nSelected mode \"No test ACK\"", "\nВыбран режим \"Без проверки ACK\""));
}

void MainController::AdapterNotify(int event)
{
    switch (event) {
    case Removed:
        PrintLog(Lang("CH341 programmer removed\n", "Устройство CH341 извлечено\n"));
        Library->CH341CloseDevice(AdapterIndex);
        status.adapterHandle = -1;
        ActivateControls(NoAdapter);
        break;
    case AboutToBeRemoved:
        view.showMessage(QStringLiteral("detected device will be pulled"));
        break;
    case Arrived:
        InitDevice();
        break;
    default:
        break;
    }
    RepaintStatusBar();
}

void MainController::CloseAdapter()
{
    if (Library)
        Library->CH341CloseDevice(AdapterIndex);
}

void MainController::ResetAdapter()
{
    if (Library)
        Library->CH341ResetDevice(AdapterIndex);
}
