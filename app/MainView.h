#pragma once
// What the main window's controller asks of the window. The widgets implement it; tests record it.
#include "session/job/Prompt.h"
#include "app/ComponentNames.h"
#include "session/FileCommands.h"
#include "session/LogText.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <span>

class DiffList;

struct StatusBarState {
    bool bufferModified = false; // panel 1
    QString offsetText;          // panel 2, "0x…"
    QString checkSumText;        // panel 3
    int adapterHandle = 0;       // panel 4: red lamp at -1, green otherwise
};

class MainView {
public:
    virtual ~MainView() = default;

    // Components are addressed by their names (menus, items, tool bars, buttons, panels).
    virtual void setEnabled(ComponentName component, bool enabled) = 0;
    virtual void setVisible(ComponentName component, bool visible) = 0;
    virtual void setChecked(ComponentName component, bool checked) = 0;
    virtual bool isChecked(ComponentName component) const = 0;
    virtual void setCaption(ComponentName component, const QString& caption) = 0;
    // A list box's items, refilled with its first item selected.
    virtual void setItems(ComponentName component, const QStringList& items) = 0;

    virtual void appendLog(const QString& text, LogColour colour) = 0;
    virtual void focusLog() = 0;
    virtual void repaintStatusBar(const StatusBarState& state) = 0;

    virtual void moveWindow(int left, int top) = 0;
    virtual int windowLeft() const = 0;
    virtual int windowTop() const = 0;
    virtual bool isShowing() const = 0;
    virtual void raiseWindow() = 0;
    // Asks the window to close (FormCloseQuery may keep it open); true when it closed.
    virtual bool closeWindow() = 0;
    // Once the window has closed, the program starts itself again with its arguments.
    virtual void restartAfterClose() = 0;

    // Progress bar of the status bar.
    virtual void setProgressMaximum(int maximum) = 0;
    virtual void setProgressPosition(int position) = 0;
    virtual int progressPosition() const = 0;

    // The hex view, which shows the document's EditBuffer: no typing while an operation runs.
    virtual void setEditorReadOnly(bool readOnly) = 0;

    // The compare view below the hex view.
    virtual void showDifferences(const DiffList& differences) = 0;
    virtual void hideDifferences() = 0;

    // Dialogs: the status registers (modal), the device selection list on the chips that matched.
    virtual void showStatusRegisters() = 0;
    virtual void showChipList() = 0;

    // File dialogs with the dump filters: `format` is the format of the filter chosen. Empty: cancelled.
    virtual QString askOpenFile(FileCommands::Format* format) = 0;
    virtual QString askSaveFile(FileCommands::Format* format) = 0;

    // The Emulator menu's questions: a chip for the emulated socket among `chips` (an empty text
    // for an empty socket; nullopt: cancelled), a number, and a file to write a log to (empty:
    // cancelled).
    virtual std::optional<QString> askEmulatedChip(const QStringList& chips, const QString& current) = 0;
    virtual std::optional<int> askNumber(const QString& title, const QString& label, int suggested, int minimum,
                                         int maximum) = 0;
    virtual QString askLogFile(const QString& title) = 0;

    // Desktop services: a folder picker, the file manager, the calculator.
    virtual QString askFolder(const QString& title) = 0;  // empty: cancelled
    virtual bool openFolder(const QString& folder) = 0;   // false: no file manager took it
    virtual bool startCalculator(bool onlyLookForIt) = 0; // whether one is installed

    // Message boxes.
    virtual void showMessage(const QString& text) = 0;
    virtual void showWarning(const QString& text, const QString& caption) = 0; // OK only
    virtual void showError(const QString& text, const QString& caption) = 0;   // OK only
    virtual bool askYesNo(const QString& text, const QString& caption) = 0;    // warning icon
    // A question of a chip command: Yes and No (and a third choice when it has one), the default
    // button as the question says.
    virtual Answer ask(const Prompt& prompt) = 0;
    // The question about an edited buffer before it is replaced or the window closes.
    enum class SaveAnswer { Save, Discard, Cancel };
    virtual SaveAnswer askSaveChanges(const QString& text, const QString& caption) = 0;
};
