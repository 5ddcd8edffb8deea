#pragma once
// The main window: menus, tool bars, log panel, hex panel and status bar. It draws and forwards
// every command to the controller; it keeps no rules of its own.
#include "app/MainController.h"
#include "app/MainView.h"

#include <QHash>
#include <QMainWindow>
#include <memory>

class QAction;
class QActionGroup;
class QComboBox;
class QLineEdit;
class QMenu;
class QToolBar;
class QToolButton;
class CompareView;
class HexView;
class LogPanel;
class StatusBar;
class ChipFormBridge;
class ProgramUpdateCheck;

class TFMain : public QMainWindow, public MainView {
    Q_OBJECT
public:
    TFMain(StartupOptions options, QWidget* parent = nullptr);
    ~TFMain() override;

    MainController& controller() { return control; }
    // A component by its object name (tests find the widgets a user meets by it).
    QObject* component(ComponentName name) const { return component(name.text); }
    QObject* component(const char* name) const { return components.value(QByteArray(name)); }

    // MainView (beside QWidget's own setEnabled and setVisible)
    using QMainWindow::setEnabled;
    using QMainWindow::setVisible;
    void setEnabled(ComponentName component, bool enabled) override;
    void setVisible(ComponentName component, bool visible) override;
    void setChecked(ComponentName component, bool checked) override;
    bool isChecked(ComponentName component) const override;
    void setCaption(ComponentName component, const QString& caption) override;
    void setItems(ComponentName component, const QStringList& items) override;
    void appendLog(const QString& text, LogColour colour) override;
    void focusLog() override;
    void repaintStatusBar(const StatusBarState& state) override;
    void moveWindow(int left, int top) override;
    int windowLeft() const override;
    int windowTop() const override;
    bool isShowing() const override;
    void raiseWindow() override;
    bool closeWindow() override;
    void restartAfterClose() override { restartWanted = true; }
    // The language changed: the program is to start again once this window has closed.
    bool restartRequested() const { return restartWanted; }
    void setProgressMaximum(int maximum) override;
    void setProgressPosition(int position) override;
    int progressPosition() const override;
    void setEditorReadOnly(bool readOnly) override;
    void showDifferences(const DiffList& differences) override;
    void hideDifferences() override;
    QString askOpenFile(FileCommands::Format* format) override;
    QString askSaveFile(FileCommands::Format* format) override;
    void showError(const QString& text, const QString& caption) override;
    QString askFolder(const QString& title) override;
    bool openFolder(const QString& folder) override;
    bool startCalculator(bool onlyLookForIt) override;
    std::optional<QString> askEmulatedChip(const QStringList& chips, const QString& current) override;
    std::optional<int> askNumber(const QString& title, const QString& label, int suggested, int minimum,
                                 int maximum) override;
    QString askLogFile(const QString& title) override;
    void showStatusRegisters() override;
    void showChipList() override;
    void showMessage(const QString& text) override;
    void showWarning(const QString& text, const QString& caption) override;
    bool askYesNo(const QString& text, const QString& caption) override;
    Answer ask(const Prompt& prompt) override;
    SaveAnswer askSaveChanges(const QString& text, const QString& caption) override;

    HexView* hexEditor() const { return hexView; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override; // key preview: Esc cancels

private:
    // Construction, one file each: menus, tool bars, the panels of the client area.
    void buildMenus();
    void buildFileMenu();
    void buildOperationMenu();
    void buildSettingsMenu();
    void buildEmulatorMenu();
    void buildSlaveAddressMenu(QMenu* parent);
    void buildToolBars();
    void applyToolHints();
    void buildClientArea();
    void connectCommands();
    void connectSearch();
    void applySearchTexts();
    void MmChipSelect2Click();

    QAction* action(ComponentName name, const QString& caption = QString());
    QMenu* menu(QMenu* parent, ComponentName name);
    QAction* radio(QMenu* menu, QActionGroup* group, ComponentName name, int tag);
    // The action of a tool button: the menu item's own where the menus give the same command, else
    // one of its own.
    QAction* sharedAction(ComponentName name, const QString& caption);
    QAction* toolAction(QToolBar* bar, ComponentName name);
    QToolButton* popupButton(QToolBar* bar, ComponentName name, QMenu* popup);
    // The action through which a tool bar holds `widget`; null for a widget outside tool bars.
    static QAction* toolBarAction(QWidget* widget);
    // Names a component and makes it reachable by that name.
    template <class T>
    T* remember(T* object, ComponentName name)
    {
        object->setObjectName(QLatin1String(name.text));
        components.insert(QByteArray(name.text), object);
        return object;
    }

    QHash<QByteArray, QObject*> components;
    MainController control;
    LogPanel* log = nullptr;
    StatusBar* status = nullptr;
    HexView* hexView = nullptr;
    CompareView* compareView = nullptr;
    std::unique_ptr<ChipFormBridge> chipFormBridge;
    std::unique_ptr<ProgramUpdateCheck> updates; // the start-up check and the About box's
    QToolBar *toolBar = nullptr, *toolBar1 = nullptr, *toolBar2 = nullptr;
    QComboBox* searchKind = nullptr;
    QLineEdit* findField = nullptr;
    // What the dump file dialogs reopen on: the filter entries chosen last, the folder, the name.
    int lastOpenFilter = 0, lastSaveFilter = 0;
    QString lastOpenFolder, lastSaveName;
    bool shown = false;
    bool closing = false, closed = false;
    bool restartWanted = false;
};
