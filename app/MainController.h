#pragma once
// The main window's controller: every handler of the main window lives here, apart from the
// widgets, so that tests drive it through a recording view.
#include "app/ControlStates.h"
#include "app/LogText.h"
#include "app/MainSettings.h"
#include "app/MainView.h"
#include "app/RecentFiles.h"
#include "app/StartupOptions.h"

#include <QObject>
#include <QString>

class MainController : public QObject {
    Q_OBJECT
public:
    MainController(MainView &view, StartupOptions options);

    // Life of the main window, in the order of a run.
    void FormCreate();
    void FormShow();
    void FormCloseQuery();
    void FormDestroy();
    void ActExitExecute();

    // The one way to write to the log; a number >= 0 is appended in decimal and hexadecimal.
    void PrintLog(const QString &text, LogColour colour = LogColour::Navy, int64_t number = -1);
    void ActivateControls(ControlState state);

    // Settings menu.
    void MmRusClick(int tag);       // language items, tag 0 Russian, 1 English
    void N0x001Click(int address);  // slave address items, tag = address

    // A file forwarded by a second start of the program.
    void LoadForwardedFile(const QString &path);

    const MainSettings &settings() const { return current; }
    const StatusBarState &statusBar() const { return status; }
    const RecentFiles &recentFiles() const { return recent; }
    int slaveAddress() const { return SlaveAddress; }
    QString CurrentFileName, CurrentFileExt;

private:
    // Steps of the first showing and of the close that later parts of the program fill.
    bool LoadChipDatabase();
    void InitDevice();
    void SetParams();
    void FillTransferBuffer();
    void LoadCommandLineFile(const QString &path);
    void StartUpdateCheck();
    void RegisterAdapterNotification();
    void CloseAdapter();
    void ResetAdapter();
    void SaveAsBeforeClose();
    void PostCancelToLastWorker();

    void ApplyEnglishCaptions();
    void TickMenusFromSettings();
    void SaveSettingsFile(class SettingsFile &file);
    void RepaintStatusBar();

    MainView &view;
    StartupOptions options;
    MainSettings current;
    RecentFiles recent;
    StatusBarState status;
    int SlaveAddress = 0xA0;
};
