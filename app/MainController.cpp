#include "app/MainController.h"

#include "app/AppPaths.h"
#include "app/Captions.h"
#include "app/Language.h"
#include "app/QtMessageSink.h"
#include "app/SettingsFile.h"
#include "i2c/SlaveAddress.h"
#include "worker/TransferBuffer.h"

#include <QDir>
#include <QLocale>
#include <algorithm>

namespace {
const char *const speedItems[] = {"Mm_SPEED_LOW", "Mm_SPEED_NORMAL", "Mm_SPEED_FAST", "Mm_SPEED_HIGH"};

QString DefaultDumpDir()
{
    return AppPaths::DataFolder() + QStringLiteral("/DumpsBackup");
}
} // namespace

MainController::MainController(MainView &view, StartupOptions options)
    : view(view), options(std::move(options)), sink(std::make_shared<QtMessageSink>(this))
{
    ClientDataSet.setFilterTest([this](const chipdb::ChipRecord &row) { return ChipFilter.accepts(row); });
}

MainController::~MainController() = default;

QString MainController::SettingsPath()
{
    return FilePath(QString(), QStringLiteral("Vespera.ini"));
}

void MainController::FormCreate()
{
    {
        const SettingsFile file(SettingsPath());
        current = ReadMainSettings(file, DefaultDumpDir());
    }
    LanguageId = current.languageId;
    view.setEnabled("SBCalc", view.startCalculator(true)); // FindCalc
    // A chip named for the emulated adapter is the one to work on; the saved chip stays saved.
    chip.ChipName = (options.emulatedChip.isEmpty() ? current.chipName : options.emulatedChip).toStdString();
    view.moveWindow(current.mainLeft, current.mainTop);

    if (LanguageId < 0)
        LanguageId = current.languageId = DetectLanguage(QLocale::system().name());
    ApplyEnglishCaptions();

    if (!QDir(current.dumpDir).exists()) {
        current.dumpDir = DefaultDumpDir();
        QDir().mkpath(current.dumpDir);
    }
    recent = RecentFiles::FromSettings(current.history);

    SlaveAddress = current.slaveAddress >= 0 && current.slaveAddress <= 0xFF ? uint8_t(current.slaveAddress)
                                                                             : DefaultSlaveAddress;
    TickMenusFromSettings();
    RegisterAdapterNotification();
}

void MainController::ApplyEnglishCaptions()
{
    if (LanguageId != 1)
        return;
    for (const Caption &c : MainCaptions())
        if (c.english)
            view.setCaption(c.component, QString::fromUtf8(c.english));
    SetEnglishCancelHint();
}

void MainController::TickMenusFromSettings()
{
    view.setChecked(speedItems[current.i2cSpeed], true);
    view.setChecked(current.autosaveFormat == 1 ? "MmBrg" : "MmBin", true);
    view.setChecked("MmAck", current.ackCheck);
    if (LanguageId == 0 || LanguageId == 1)
        view.setChecked(LanguageId == 0 ? "MmRus" : "MmEng", true);
    view.setChecked("ScErase", current.scErase);
    view.setChecked("ScCheckFF", current.scCheckFF);
    view.setChecked("ScWrite", current.scWrite);
    view.setChecked("ScCompare", current.scCompare);
    if (current.slaveAddress >= 0 && current.slaveAddress <= 0xFF)
        view.setChecked(SlaveAddressItem(current.slaveAddress).constData(), true);
}

void MainController::FormShow()
{
    switch (LoadChipDatabase()) {
    case DatabaseLoad::Missing:
        return;
    case DatabaseLoad::Damaged: // the rest of the database step is skipped, start-up goes on
        break;
    case DatabaseLoad::Loaded:
        CreateEmulatedAdapter();
        InitDevice();
        SetParams();
        FillTransferBuffer();
        break;
    }
    if (!options.file.isEmpty())
        LoadCommandLineFile(options.file);
    StartUpdateCheck();
}

void MainController::FormCloseQuery()
{
    current.scErase = view.isChecked("ScErase");
    current.scCheckFF = view.isChecked("ScCheckFF");
    current.scWrite = view.isChecked("ScWrite");
    current.scCompare = view.isChecked("ScCompare");
    current.languageId = LanguageId;
    current.mainLeft = view.windowLeft();
    current.mainTop = view.windowTop();
    {
        SettingsFile file(SettingsPath());
        WriteMainSettings(file, current, recent.paths());
        SaveSettingsFile(file);
    }
    if (status.bufferModified
        && view.askYesNo(Lang("Buffer was modified, save changes?", "Буфер был изменён, сохранить изменения?"),
                         Lang("Saving data", "Сохранение данных")))
        ActSaveExecute();
    if (status.adapterHandle != 0)
        CloseAdapter();
}

void MainController::SaveSettingsFile(SettingsFile &file)
{
    QString error;
    if (file.save(&error))
        return;
    const QString text = Lang("Settings could not be saved to ", "Не удалось сохранить настройки в ") + SettingsPath()
                         + QStringLiteral(": ") + error;
    PrintLog(text, LogColour::Red);
    if (!view.isShowing())
        return;
    view.showMessage(text);
}

void MainController::FormDestroy()
{
    SBStopClick();
}

void MainController::ActExitExecute()
{
    ResetAdapter();
    view.closeWindow();
}

void MainController::PrintLog(const QString &text, LogColour colour, int64_t number)
{
    view.appendLog(text + LogNumberSuffix(number), colour);
    if (view.isShowing())
        view.focusLog();
}

void MainController::ActivateControls(ControlState state)
{
    controlState = state;
    // Typing into the buffers a worker owns is refused while it runs.
    view.setEditorReadOnly(state == Busy);
    if (state == Ready)
        PendingErase = PendingBlankCheck = PendingWrite = PendingCompare = false;
    for (const ControlRule &rule : ControlRules()) {
        const Switch s = rule.in(state);
        if (s != Switch::Keep)
            view.setEnabled(rule.component, s == Switch::On);
    }
}

void MainController::RepaintStatusBar()
{
    view.repaintStatusBar(status);
}

void MainController::MmRusClick(int tag)
{
    const QString question = LanguageId == 0
        ? QStringLiteral("Язык интерфейса изменён, требуется перезапустить программу.\nПродолжить?")
        : QStringLiteral("Interface language was changed, you must restart application.          Click Yes to continue");
    const QString caption = LanguageId == 0 ? QStringLiteral("Смена языка интерфейса")
                                            : QStringLiteral("Changing interface language");
    LanguageId = tag;
    if (!view.askYesNo(question, caption))
        return;
    ResetAdapter();
    view.closeWindow();
}

int MainController::slaveAddress() const
{
    return SlaveAddress.load();
}

void MainController::N0x001Click(int address)
{
    SlaveAddress = uint8_t(address);
    current.slaveAddress = address;
    SettingsFile file(SettingsPath());
    file.writeInt("I2C", "SlaveAdr", address);
    SaveSettingsFile(file);
}

void MainController::MmBinClick(int tag)
{
    current.autosaveFormat = tag;
    HexEditorUpdate(TransferBuffer(), chip.ChipSize, BlankCheckMode, CompareMode);
}

void MainController::MmDirectoryClick()
{
    const QString folder = view.askFolder(QStringLiteral("Укажите каталог для сохранения дампов"));
    if (!folder.isEmpty() && QDir(folder).exists())
        current.dumpDir = folder;
}

void MainController::MmOpenDirClick()
{
    view.openFolder(current.dumpDir);
}

void MainController::SBCalcClick()
{
    view.startCalculator(false);
}

void MainController::LoadForwardedFile(const QString &path)
{
    view.raiseWindow();
    if (!path.isEmpty())
        LoadCommandLineFile(path);
}

// --- Steps that the chip database, adapter, buffer and update parts fill. ---

void MainController::FillTransferBuffer()
{
    const std::span<uint8_t> image = TransferBuffer();
    std::fill(image.begin(), image.end(), 0xFF);
    HexEditorUpdate(image, chip.ChipSize, false, false);
}

void MainController::StartUpdateCheck()
{
    if (current.checkUpdate && RequestUpdateCheck)
        RequestUpdateCheck();
}


