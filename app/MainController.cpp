#include "app/MainController.h"

#include "app/Captions.h"
#include "app/ControlStates.h"
#include "session/AppPaths.h"
#include "session/Language.h"
#include "session/SettingsFile.h"

#include <QDir>
#include <QLocale>
#include <algorithm>

namespace {
constexpr int EscapeKey = 27;
} // namespace

MainController::MainController(MainView& mainView, StartupOptions startup)
    : view(mainView), options(std::move(startup)), core(*this)
{
}

MainController::~MainController() = default;

void MainController::FormCreate()
{
    MainSettings& current = core.settings();
    {
        const SettingsFile file(SettingsPath());
        current = ReadMainSettings(file, DefaultDumpDir());
    }
    SetCurrentLanguage(current.language);
    view.setEnabled(component::SBCalc, view.startCalculator(true)); // FindCalc
    // A chip named for the emulated adapter is the one to work on; the saved chip stays saved.
    core.catalogue().chip.name =
        (options.emulation.chip.isEmpty() ? current.chipName : options.emulation.chip).toStdString();
    view.moveWindow(current.mainLeft, current.mainTop);

    if (current.language == Language::NotChosen) {
        current.language = DetectLanguage(QLocale::system().name());
        SetCurrentLanguage(current.language);
    }
    ApplyEnglishCaptions();

    if (!QDir(current.dumpDir).exists()) {
        current.dumpDir = DefaultDumpDir();
        QDir().mkpath(current.dumpDir);
    }
    recent = RecentFiles::FromSettings(current.history);

    TickMenusFromSettings();
    for (const QString& error : options.errors) PrintLog(error, LogColour::Red);
    core.adapter().setEmulation(options.emulation);
    core.adapter().RegisterAdapterNotification();
    emulator.show(options.emulation.on);
}

void MainController::ApplyEnglishCaptions()
{
    if (CurrentLanguage() != Language::English) return;
    for (const Caption& c : MainCaptions())
        if (c.text.en != c.text.ru) view.setCaption(c.component, QString::fromStdString(c.text.en));
    view.setItems(component::CBSearch,
                  {SearchKindCaption(0, Language::English), SearchKindCaption(1, Language::English)});
}

void MainController::TickMenusFromSettings()
{
    const MainSettings& current = core.settings();
    view.setChecked(component::SpeedItems[current.i2cSpeed], true);
    view.setChecked(current.autosaveFormat == 1 ? component::MmBrg : component::MmBin, true);
    view.setChecked(component::MmAck, current.ackCheck);
    view.setChecked(component::MmVerify, current.verify);
    if (CurrentLanguage() != Language::NotChosen)
        view.setChecked(CurrentLanguage() == Language::Russian ? component::MmRus : component::MmEng, true);
    view.setChecked(component::ScErase, current.scErase);
    view.setChecked(component::ScCheckFF, current.scCheckFF);
    view.setChecked(component::ScWrite, current.scWrite);
    view.setChecked(component::ScCompare, current.scCompare);
    if (current.slaveAddress >= 0 && current.slaveAddress <= 0xFF)
        view.setChecked(component::SlaveAddressItem(current.slaveAddress), true);
}

void MainController::FormShow()
{
    switch (core.catalogue().LoadChipDatabase(ChipListPath())) {
    case ChipCatalogue::DatabaseLoad::Missing: return;
    case ChipCatalogue::DatabaseLoad::Damaged: // the rest of the database step is skipped, start-up goes on
        break;
    case ChipCatalogue::DatabaseLoad::Loaded:
        core.adapter().CreateEmulatedAdapter();
        core.adapter().InitDevice();
        SetParams();
        FillTransferBuffer();
        break;
    }
    if (!options.file.isEmpty()) LoadCommandLineFile(options.file);
    StartUpdateCheck();
}

bool MainController::FormCloseQuery()
{
    // A window closed in the middle of an operation stops it as Esc would, and waits for its end.
    core.runner().cancelAndWait();
    if (!OfferToSaveBuffer()) {
        resetAdapterOnClose = false;
        return false;
    }
    MainSettings& current = core.settings();
    current.scErase = view.isChecked(component::ScErase);
    current.scCheckFF = view.isChecked(component::ScCheckFF);
    current.scWrite = view.isChecked(component::ScWrite);
    current.scCompare = view.isChecked(component::ScCompare);
    current.language = CurrentLanguage();
    current.mainLeft = view.windowLeft();
    current.mainTop = view.windowTop();
    {
        SettingsFile file(SettingsPath());
        WriteMainSettings(file, current, recent.paths());
        SaveSettingsFile(file);
    }
    if (resetAdapterOnClose) core.adapter().ResetAdapter();
    if (core.adapterHandle != 0) core.adapter().CloseAdapter();
    return true;
}

bool MainController::OfferToSaveBuffer()
{
    if (!status.bufferModified) return true;
    switch (
        view.askSaveChanges(Localized("Buffer was modified, save changes?", "Буфер был изменён, сохранить изменения?"),
                            Localized("Saving data", "Сохранение данных"))) {
    case MainView::SaveAnswer::Save: return ActSaveExecute();
    case MainView::SaveAnswer::Discard: return true;
    case MainView::SaveAnswer::Cancel: break;
    }
    return false;
}

void MainController::SaveSettingsFile(SettingsFile& file)
{
    QString error;
    if (file.save(&error)) return;
    const QString text = Localized("Settings could not be saved to ", "Не удалось сохранить настройки в ") +
                         SettingsPath() + QStringLiteral(": ") + error;
    PrintLog(text, LogColour::Red);
    if (!view.isShowing()) return;
    view.showMessage(text);
}

void MainController::FormDestroy()
{
    SBStopClick();
}

void MainController::ActExitExecute()
{
    resetAdapterOnClose = true;
    view.closeWindow();
}

void MainController::PrintLog(const QString& text, LogColour colour, int64_t number)
{
    core.PrintLog(text, colour, number);
}

void MainController::logAppended(const QString& text, LogColour colour)
{
    view.appendLog(text, colour);
    if (view.isShowing()) view.focusLog();
}

void MainController::controlsChanged(ControlState state)
{
    // Typing into the buffers a worker owns is refused while it runs.
    view.setEditorReadOnly(state == Busy);
    for (const ControlRule& rule : ControlRules()) {
        const Switch s = rule.in(state);
        if (s != Switch::Keep) view.setEnabled(rule.component, s == Switch::On && (spiChip || !rule.spiOnly));
    }
    emulator.update();
}

// A hot-plug event, an adapter opened, or a new checksum.
void MainController::statusChanged()
{
    RepaintStatusBar();
    emulator.update();
}

void MainController::progressChanged(int position, int maximum)
{
    view.setProgressMaximum(maximum);
    view.setProgressPosition(position);
}

void MainController::differencesChanged(const DiffList* differences)
{
    if (differences)
        view.showDifferences(*differences);
    else
        view.hideDifferences();
}

void MainController::chipSelected(bool spiControls)
{
    spiChip = spiControls;
    view.setEnabled(component::MmSpi, spiControls);
    view.setVisible(component::SpiPanel, spiControls);
    view.setEnabled(component::SpiPanel, spiControls && core.state() == Ready);
}

void MainController::chipChosen(const QString& chipName)
{
    SettingsFile file(SettingsPath());
    file.writeText("Chip", "Type", chipName);
    SaveSettingsFile(file);
}

void MainController::RepaintStatusBar()
{
    status.checkSumText = core.checkSumText;
    status.adapterHandle = core.adapterHandle;
    view.repaintStatusBar(status);
}

void MainController::MmRusClick(int tag)
{
    const QString question = Localized("Interface language was changed, the program must restart.\n"
                                       "Click Yes to restart it now.",
                                       "Язык интерфейса изменён, требуется перезапустить программу.\n"
                                       "Нажмите «Да», чтобы перезапустить её сейчас.");
    const QString caption = Localized("Changing interface language", "Смена языка интерфейса");
    SetCurrentLanguage(LanguageFromId(tag));
    if (!view.askYesNo(question, caption)) return;
    resetAdapterOnClose = true;
    if (view.closeWindow()) view.restartAfterClose();
}

int MainController::slaveAddress() const
{
    return core.adapter().slaveAddress();
}

void MainController::N0x001Click(int address)
{
    core.settings().slaveAddress = address;
    PrintLog(Localized("\nI2C Slave Address = 0x", "\nАдрес ведомого I2C = 0x") +
             QString::number(address, 16).toUpper().rightJustified(2, u'0'));
    SettingsFile file(SettingsPath());
    file.writeInt("I2C", "SlaveAdr", address);
    SaveSettingsFile(file);
}

void MainController::MmBinClick(int tag)
{
    core.settings().autosaveFormat = tag;
    // The register bytes come or go after the chip's bytes the editor shows, edits included.
    Document& document = core.document();
    const std::span<const uint8_t> bytes = document.bytes();
    const std::vector<uint8_t> chipBytes(
        bytes.begin(), bytes.begin() + std::ptrdiff_t(std::min<std::size_t>(core.chip().size, bytes.size())));
    document.showInEditor(chipBytes, tag == 1 && core.isSpiChip());
}

void MainController::MmDirectoryClick()
{
    const QString folder = view.askFolder(QStringLiteral("Укажите каталог для сохранения дампов"));
    if (!folder.isEmpty() && QDir(folder).exists()) core.settings().dumpDir = folder;
}

void MainController::MmOpenDirClick()
{
    const QString& folder = core.settings().dumpDir;
    if (!view.openFolder(folder))
        PrintLog(Localized("Cannot open the dump folder ", "Не удалось открыть папку с дампами ") +
                     QDir::toNativeSeparators(folder),
                 LogColour::Red);
}

void MainController::SBCalcClick()
{
    view.startCalculator(false);
}

void MainController::LoadForwardedFile(const QString& path)
{
    view.raiseWindow();
    if (!path.isEmpty() && OfferToSaveBuffer()) LoadCommandLineFile(path);
}

void MainController::FillTransferBuffer()
{
    const std::span<uint8_t> image = core.document().transfer();
    std::fill(image.begin(), image.end(), 0xFF);
    core.loadEditorFromTransfer();
}

void MainController::StartUpdateCheck()
{
    if (core.settings().checkUpdate && RequestUpdateCheck) RequestUpdateCheck();
}

void MainController::FormKeyUp(int key)
{
    if (key == EscapeKey) SBStopClick();
}

// --- Operations: a command of the user starts with a fresh outcome. ---

void MainController::startCommand()
{
    core.resetOutcome();
}

void MainController::MmReadClick()
{
    startCommand();
    core.read();
}

void MainController::MmWriteClick()
{
    startCommand();
    core.write();
}

void MainController::MmSmartWriteClick()
{
    startCommand();
    core.smartWrite();
}

void MainController::MmCompareClick()
{
    startCommand();
    core.compare();
}

void MainController::MmCheckFFClick()
{
    startCommand();
    core.blankCheck();
}

void MainController::MmSpiEraseClick()
{
    startCommand();
    core.erase();
}

void MainController::MmRdStatRegClick()
{
    view.showStatusRegisters();
    core.readStatus();
}

void MainController::MmWrStatRegClick()
{
    view.showStatusRegisters();
    core.writeStatus();
}

void MainController::MmUnprotectClick()
{
    startCommand();
    core.unprotect();
}

void MainController::ScRunClick()
{
    startCommand();
    core.runScript({view.isChecked(component::ScErase), view.isChecked(component::ScCheckFF),
                    view.isChecked(component::ScWrite), view.isChecked(component::ScCompare)});
}

// --- Files ---

void MainController::ActOpenExecute()
{
    if (!OfferToSaveBuffer()) return;
    FileCommands::Format format = FileCommands::Format::Bin;
    const QString path = view.askOpenFile(&format);
    if (path.isEmpty()) return;
    if (core.files().open(path, format)) recent.add(path);
}

void MainController::DropFiles(const QStringList& paths)
{
    if (paths.isEmpty() || paths.first().isEmpty() || core.files().RefuseWhileBusy() || !OfferToSaveBuffer()) return;
    const QString path = paths.first();
    if (core.files().open(path, FileCommands::formatOfExtension(FileCommands::UpperExtension(path)))) recent.add(path);
}

// A file opened from the file manager comes on the command line: its extension decides its format
// as for a dropped file, so that a HEX or E2P file never lands in the buffer as raw text.
void MainController::LoadCommandLineFile(const QString& path)
{
    if (core.files().RefuseWhileBusy()) return;
    core.files().open(path, FileCommands::formatOfExtension(FileCommands::UpperExtension(path)));
}

void MainController::mFileClick()
{
    const QStringList& paths = recent.paths();
    for (int i = 0; i < paths.size(); ++i) {
        view.setVisible(component::MmSep1, true);
        view.setVisible(component::MmHistory, true);
        const ComponentName item = component::RecentFile(i + 1);
        view.setVisible(item, true);
        view.setCaption(item, QStringLiteral("&%1: ").arg(i) + paths.at(i));
    }
}

void MainController::Hist1Click(int position)
{
    if (position < 0 || position >= recent.paths().size() || core.files().RefuseWhileBusy()) return;
    const QString path = recent.paths().at(position);
    const QString extension = FileCommands::UpperExtension(path);
    // Only the three extensions the list is made of load from it.
    const bool loads =
        extension == QLatin1String(".E2P") || extension == QLatin1String(".BIN") || extension == QLatin1String(".HEX");
    if (loads && OfferToSaveBuffer()) core.files().open(path, FileCommands::formatOfExtension(extension));
}

bool MainController::ActSaveExecute()
{
    FileCommands::Format format = FileCommands::Format::Bin;
    const QString name = view.askSaveFile(&format);
    return !name.isEmpty() && core.files().saveAs(name, format);
}

// --- Buffer ---

void MainController::FillBufClick(int value)
{
    core.files().FillBufClick(value);
    status.bufferModified = core.document().editor().modified();
    RepaintStatusBar();
}

void MainController::MmSwapClick()
{
    core.files().MmSwapClick();
    status.bufferModified = core.document().editor().modified();
    RepaintStatusBar();
}

void MainController::HexEditorChange(bool modified)
{
    status.bufferModified = modified;
    RepaintStatusBar();
}

void MainController::HexEditorSelectionChanged(const QString& offsetText)
{
    status.offsetText = offsetText;
    RepaintStatusBar();
}
