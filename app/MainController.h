#pragma once
// The main window's controller: what is the window's own (its life, captions and ticked menu
// items, the control states, message boxes, the compare grid, the recent files, the status bar)
// and every handler of the main window as a thin forwarder to the programming core (Session),
// so that tests drive the window's behaviour through a recording view.
#include "app/EmulatorMenu.h"
#include "app/MainView.h"
#include "app/RecentFiles.h"
#include "app/StartupOptions.h"
#include "session/Session.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class SettingsFile;

class MainController : public SessionEvents {
public:
    MainController(MainView& view, StartupOptions options);
    ~MainController() override;

    Session& session() { return core; }
    const Session& session() const { return core; }

    // Life of the main window, in the order of a run.
    void FormCreate();
    void FormShow();
    // False when the user kept the window open (Cancel on the question about an edited buffer).
    bool FormCloseQuery();
    void FormDestroy();
    void ActExitExecute();

    void PrintLog(const QString& text, LogColour colour = LogColour::Navy, int64_t number = -1);
    void ActivateControls(ControlState state) { core.ActivateControls(state); }
    bool busy() const { return core.busy(); }

    // Settings menu.
    void MmRusClick(int tag);      // language items, tag 0 Russian, 1 English
    void N0x001Click(int address); // slave address items, tag = address
    void MmBinClick(int tag);      // autosave format items, 0 BIN, 1 BRG
    void MmDirectoryClick();       // choose the dump folder
    void MmOpenDirClick();         // open the dump folder in the file manager
    void SBCalcClick();
    void MmVerifyClick()
    {
        core.settings().verify = view.isChecked(component::MmVerify);
    } // read the chip back after a write

    // Adapter: speed items (tag 0..3), ACK check, hot-plug events (0 removed, 1 about to be
    // removed, 3 arrived).
    void Mm_SPEED_LOWClick(int tag) { core.adapter().Mm_SPEED_LOWClick(tag); }
    void MmAckClick() { core.adapter().MmAckClick(view.isChecked(component::MmAck)); }
    void AdapterNotify(int event) { core.adapter().AdapterNotify(event); }

    // The Emulator menu, there only on the emulated adapter.
    EmulatorMenu& emulatorMenu() { return emulator; }

    // Chip selection: applies the current row of the chip table; ChooseChip also saves its name.
    void SetParams(bool fromDialog = false) { core.catalogue().SetParams(fromDialog); }
    void ChooseChip(bool fromDialog = true) { core.catalogue().ChooseChip(fromDialog); }

    // A file forwarded by a second start of the program.
    void LoadForwardedFile(const QString& path);

    // Operation runner: cancelling.
    void SBStopClick() { core.runner().cancel(); }
    void FormKeyUp(int key);
    void CheckSum() { core.showCheckSum(); }

    // Operation commands.
    void MmReadClick();
    void MmWriteClick();
    void MmSmartWriteClick();
    void MmCompareClick();
    void MmCheckFFClick();

    // Scripts: the four script items tick themselves; the run command runs what is ticked.
    void ScRunClick();

    // SPI chips: erase, identification, auto-select, status registers, unprotect.
    void MmSpiEraseClick();
    void SBIdClick() { core.identify(); }
    void UID1Click() { core.readUniqueId(); }
    void MmAutoSelClick() { core.autoSelect(); }
    void MmRdStatRegClick();
    void MmWrStatRegClick();
    void MmUnprotectClick();
    int ReadStatusIntoShadow() { return core.readStatus(); } // the dialog's Read
    void WriteStatusFromShadow() { core.writeStatus(); }     // the dialog's Write

    // Files: Open, Save As, dropped files, recent files.
    void ActOpenExecute();
    bool ActSaveExecute(); // false: cancelled, or the file could not be written
    void DropFiles(const QStringList& paths);
    void mFileClick();
    void Hist1Click(int position);

    // Buffer commands.
    void FillBufClick(int value); // 0..255, or -1 for an empty fill field
    void MmSwapClick();
    void SBFindClick(const QString& text, int searchKind) { core.files().find(text, searchKind); }
    void MmCheckSumClick() { core.showCheckSum(); }

    // The hex view's notifications and the compare view's close button.
    void HexEditorChange(bool modified);
    void HexEditorSelectionChanged(const QString& offsetText);
    void CompareViewClosed() { core.differences().Clear(); }

    const MainSettings& settings() const { return core.settings(); }
    const StatusBarState& statusBar() const { return status; }
    const RecentFiles& recentFiles() const { return recent; }
    const DiffList& differences() const { return const_cast<Session&>(core).differences(); }
    int slaveAddress() const;

    // Starts an update check (the program's one check); empty where nothing can check, as in tests.
    std::function<void()> RequestUpdateCheck;

private:
    // SessionEvents
    void logAppended(const QString& text, LogColour colour) override;
    void controlsChanged(ControlState state) override;
    void progressChanged(int position, int maximum) override;
    void statusChanged() override;
    void differencesChanged(const DiffList* differences) override;
    void chipSelected(bool spiControls) override;
    void chipChosen(const QString& chipName) override;
    void chooseAmongChips() override { view.showChipList(); }
    bool confirm(const QString& text, const QString& caption) override { return view.askYesNo(text, caption); }
    Answer ask(const Prompt& prompt) override { return view.ask(prompt); }
    void warn(const QString& text, const QString& caption) override { view.showWarning(text, caption); }
    void inform(const QString& text) override { view.showMessage(text); }
    void fail(const QString& text, const QString& caption) override { view.showError(text, caption); }

    void ApplyEnglishCaptions();
    void TickMenusFromSettings();
    void SaveSettingsFile(SettingsFile& file);
    void RepaintStatusBar();
    void FillTransferBuffer();
    void LoadCommandLineFile(const QString& path);
    // Before an edited buffer is replaced or the window closes: Save (As), Discard or Cancel.
    // True to go on: saved, discarded, or nothing to save.
    bool OfferToSaveBuffer();
    void StartUpdateCheck(); // at start-up, unless [Update] CheckUpdate is 0
    void startCommand();

    MainView& view;
    StartupOptions options;
    Session core;
    EmulatorMenu emulator{view, core};
    RecentFiles recent;
    StatusBarState status;
    bool spiChip = false;             // the selected chip is an SPI chip: its erase and register buttons apply
    bool resetAdapterOnClose = false; // Exit and a language change reset the adapter as they close
};
