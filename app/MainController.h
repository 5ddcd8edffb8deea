#pragma once
// The main window's controller: every handler of the main window lives here, apart from the
// widgets, so that tests drive it through a recording view. The handlers are spread over one file
// per subject: MainController.cpp (life of the window, settings, log), ChipSelection.cpp (chip
// database and selection), AdapterConnection.cpp (the adapter), OperationRunner.cpp (workers,
// progress, completion), OperationCommands.cpp (Read, Write, Compare), I2cOperations.cpp and
// SpiOperations.cpp (the two chip families), FileCommands.cpp (dump files), BufferCommands.cpp
// (fill, swap, find, checksum), ScriptCommands.cpp (scripts).
#include "app/ControlStates.h"
#include "app/LogText.h"
#include "app/MainSettings.h"
#include "app/MainView.h"
#include "app/RecentFiles.h"
#include "app/StartupOptions.h"
#include "adapter/Ch341Library.h"
#include "buffer/DiffList.h"
#include "chipdb/ChipListFilter.h"
#include "chipdb/ChipTable.h"
#include "chipdb/SelectedChip.h"
#include "spi/SpiStatus.h"
#include "worker/StartWorker.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class EmulatedCh341;
class QtMessageSink;

class MainController : public QObject {
    Q_OBJECT
public:
    MainController(MainView &view, StartupOptions options);
    ~MainController() override;

    // Life of the main window, in the order of a run.
    void FormCreate();
    void FormShow();
    void FormCloseQuery();
    void FormDestroy();
    void ActExitExecute();

    // The one way to write to the log; a number >= 0 is appended in decimal and hexadecimal.
    void PrintLog(const QString &text, LogColour colour = LogColour::Navy, int64_t number = -1);
    void ActivateControls(ControlState state);
    bool busy() const { return controlState == Busy; }

    // Settings menu.
    void MmRusClick(int tag);       // language items, tag 0 Russian, 1 English
    void N0x001Click(int address);  // slave address items, tag = address
    void MmBinClick(int tag);       // autosave format items, 0 BIN, 1 BRG
    void MmDirectoryClick();        // choose the dump folder
    void MmOpenDirClick();          // open the dump folder in the file manager
    void SBCalcClick();

    // Adapter: speed items (tag 0..3), ACK check, hot-plug events (0 removed, 1 about to be
    // removed, 3 arrived).
    void Mm_SPEED_LOWClick(int tag);
    void MmAckClick();
    void AdapterNotify(int event);

    // Chip selection: applies the current row of the chip table; ChooseChip also saves its name.
    void SetParams(bool fromDialog = false);
    void ChooseChip(bool fromDialog = true);

    // A file forwarded by a second start of the program.
    void LoadForwardedFile(const QString &path);

    // Operation runner: starting a worker, its messages, cancelling.
    bool StartOperation(WorkerBody body, std::shared_ptr<WorkerParams> params);
    void WMOpProgress(uint32_t wParam, int32_t lParam);
    void WMOpFault(int32_t lParam);
    void SetPBarPos(int code);
    void HexEditorUpdate(std::span<const uint8_t> buffer, uint32_t count, bool blankCheck, bool compare);
    void CheckSum();
    void SBStopClick();
    void FormKeyUp(int key);

    // Operation commands; the completion of an operation starts them too (pending steps).
    void MmReadClick();
    void MmWriteClick();
    void MmCompareClick();
    void MmCheckFFClick();

    // Scripts: the four script items (after they ticked themselves) and the run command.
    void ScEraseClick(const char *item);
    void ScRunClick();

    // SPI chips: erase, identification, auto-select, status registers, unprotect.
    void MmSpiEraseClick();
    void SBIdClick();
    void UID1Click();
    void MmAutoSelClick();
    void MmRdStatRegClick();
    void MmWrStatRegClick();
    void MmUnprotectClick();
    StatusReadResult ReadStatusIntoShadow(); // the dialog's Read
    void WriteStatusFromShadow();            // the dialog's Write

    // Files: Open, Save As, dropped files, recent files, the loaders.
    void ActOpenExecute();
    void ActSaveExecute();
    void DropFiles(const QStringList &paths);
    void mFileClick();
    void Hist1Click(int position);
    void LoadBin(const QString &path, const QString &extension);
    void LoadE2P(const QString &path);
    void LoadHex(const QString &path);

    // Buffer commands.
    void FillBufClick(int value); // 0..255, or -1 for an empty fill field
    void MmSwapClick();
    void SBFindClick(const QString &text, int searchKind);
    void MmCheckSumClick();

    // The hex view's notifications and the compare view's close button.
    void HexEditorChange(bool modified);
    void HexEditorSelectionChanged(const QString &offsetText);
    void CompareViewClosed();

    const MainSettings &settings() const { return current; }
    const StatusBarState &statusBar() const { return status; }
    const RecentFiles &recentFiles() const { return recent; }
    const DiffList &differences() const { return diffs; }
    static QString SettingsPath();
    static QString ChipListPath();
    int slaveAddress() const;

    QString CurrentFileName, CurrentFileExt;
    chipdb::SelectedChip chip;         // ChipName, ChipKind, ChipSize, PageSize, StatusRegCount
    ::StatusShadow StatusShadow;        // status registers 1..3 as last read
    bool CompareMode = false, BlankCheckMode = false;
    bool PendingErase = false, PendingBlankCheck = false, PendingWrite = false, PendingCompare = false;

    chipdb::ChipTable ClientDataSet;     // the chip database
    chipdb::ChipListFilter ChipFilter;   // its per-row test (search box, auto-select)
    double ChipListDate = 0;
    int32_t ChipListVersion = 0;
    std::shared_ptr<Ch341Library> Library;    // the adapter, real or emulated
    std::shared_ptr<EmulatedCh341> Emulator;  // the emulated adapter, null for the real one
    // Starts an update check (the program's one check); empty where nothing can check, as in tests.
    std::function<void()> RequestUpdateCheck;

protected:
    bool event(QEvent *event) override;

private:
    // Steps of the first showing and of the close that later parts of the program fill.
    enum class DatabaseLoad { Missing, Damaged, Loaded };
    DatabaseLoad LoadChipDatabase();
    void CreateAdapter(const chipdb::ChipRecord *emulatedRow);
    void CreateEmulatedAdapter();
    void InitDevice();
    void ExplainOpenFailure(UsbStatus status);
    void FillTransferBuffer();
    void LoadCommandLineFile(const QString &path);
    void StartUpdateCheck(); // at start-up, unless [Update] CheckUpdate is 0
    void RegisterAdapterNotification();
    void CloseAdapter();
    void ResetAdapter();

    void ApplyEnglishCaptions();
    void TickMenusFromSettings();
    void SaveSettingsFile(class SettingsFile &file);
    void RepaintStatusBar();

    // The commands' common start, then the 24xx or 25xx side.
    void StartCommand(int command);
    void IICReadChip();
    void IICFastReadChip();
    void IICWriteChip();
    void IICFastWriteChip();
    bool CopyEditorToTransferBuffer();
    void SPIReadCommand(const QString &startLine);
    void SPICompareCommand(const QString &startLine);
    void SPIWriteCommand(const QString &startLine);
    bool ChipPresentOrReady();
    bool RefuseWhileBusy();
    void FinishLoad(const QString &path, const struct DumpLoad &load);
    void SPIReadChip();
    void SPIWriteChip();
    void SPIWriteSST();
    void StartErase();
    void PrintSpiLog(const SpiLog &log);

    // Completion of an operation (the negative codes of WM_OP_PROGRESS).
    void ReadFinishedStep(float seconds);
    void WriteFinishedStep(float seconds);
    void EraseFinishedStep();
    void CompletionTail();
    void SaveAutomaticDump();
    bool KindContains(const char *text) const;

    MainView &view;
    StartupOptions options;
    MainSettings current;
    RecentFiles recent;
    StatusBarState status;
    DiffList diffs;
    ControlState controlState = NoAdapter;
    std::shared_ptr<QtMessageSink> sink;
    std::shared_ptr<WorkerQueue> lastWorker;
};
