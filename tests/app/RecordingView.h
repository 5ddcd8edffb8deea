#pragma once
// A main window that records what the controller asks of it, for tests without a display.
#include "app/MainView.h"
#include "buffer/DiffList.h"

#include <QMap>
#include <QStringList>
#include <utility>
#include <vector>

class RecordingView : public MainView {
public:
    std::vector<std::pair<QString, LogColour>> log;
    QMap<QByteArray, bool> enabled, visible, checked;
    QMap<QByteArray, QString> captions;
    QMap<QByteArray, QStringList> items;
    QStringList messages, questions;
    StatusBarState status;
    int progressMax = 0, progress = 0;
    QList<int> progressMaxima; // every maximum set, in order (one per phase of an operation)
    bool readOnly = false;
    std::size_t shownDifferences = 0; // rows of the compare view, 0 while hidden
    bool answerYes = false;
    QString openPath, savePath, folderAnswer; // what the file dialogs answer
    QStringList openedFolders;
    FileCommands::Format openFormat = FileCommands::Format::Bin, saveFormat = FileCommands::Format::Bin;
    bool fileManager = true; // whether openFolder finds one
    bool showing = true;
    int closes = 0, raises = 0, statusDialogs = 0, chipLists = 0, restarts = 0;
    bool closeAccepted = true;
    SaveAnswer saveAnswer = SaveAnswer::Cancel; // what the question about an edited buffer answers
    int left = 0, top = 0;

    void setEnabled(ComponentName c, bool on) override { enabled[c.text] = on; }
    void setVisible(ComponentName c, bool on) override { visible[c.text] = on; }
    void setChecked(ComponentName c, bool on) override { checked[c.text] = on; }
    bool isChecked(ComponentName c) const override { return checked.value(c.text); }
    void setCaption(ComponentName c, const QString& text) override { captions[c.text] = text; }
    void setItems(ComponentName c, const QStringList& list) override { items[c.text] = list; }
    void appendLog(const QString& text, LogColour colour) override { log.emplace_back(text, colour); }
    void focusLog() override {}
    void repaintStatusBar(const StatusBarState& state) override { status = state; }
    void moveWindow(int l, int t) override { left = l, top = t; }
    int windowLeft() const override { return left; }
    int windowTop() const override { return top; }
    bool isShowing() const override { return showing; }
    void raiseWindow() override { ++raises; }
    bool closeWindow() override
    {
        ++closes;
        return closeAccepted;
    }
    void restartAfterClose() override { ++restarts; }
    void setProgressMaximum(int maximum) override
    {
        if (progressMaxima.isEmpty() || progressMaxima.back() != maximum) progressMaxima << maximum;
        progressMax = maximum;
    }
    void setProgressPosition(int position) override { progress = position; }
    int progressPosition() const override { return progress; }
    void setEditorReadOnly(bool on) override { readOnly = on; }
    void showDifferences(const DiffList& differences) override { shownDifferences = differences.size(); }
    void hideDifferences() override { shownDifferences = 0; }
    QString askOpenFile(FileCommands::Format* format) override
    {
        *format = openFormat;
        return openPath;
    }
    QString askSaveFile(FileCommands::Format* format) override
    {
        *format = saveFormat;
        return savePath;
    }
    void showError(const QString& text, const QString&) override { messages << text; }
    std::optional<QString> chipAnswer; // what the emulated chip question answers
    std::optional<int> numberAnswer;
    QString logFileAnswer;
    std::optional<QString> askEmulatedChip(const QStringList&, const QString&) override { return chipAnswer; }
    std::optional<int> askNumber(const QString&, const QString&, int, int, int) override { return numberAnswer; }
    QString askLogFile(const QString&) override { return logFileAnswer; }
    QString askFolder(const QString&) override { return folderAnswer; }
    bool openFolder(const QString& folder) override
    {
        openedFolders << folder;
        return fileManager;
    }
    bool startCalculator(bool) override { return false; }
    void showStatusRegisters() override { ++statusDialogs; }
    void showChipList() override { ++chipLists; }
    void showMessage(const QString& text) override { messages << text; }
    void showWarning(const QString& text, const QString&) override { messages << text; }
    bool askYesNo(const QString& text, const QString&) override
    {
        questions << text;
        return answerYes;
    }

    Answer ask(const Prompt& prompt) override
    {
        questions << prompt.text;
        return answerYes ? Answer::Yes : Answer::No;
    }

    SaveAnswer askSaveChanges(const QString& text, const QString&) override
    {
        questions << text;
        return saveAnswer;
    }

    QString lastLog() const { return log.empty() ? QString() : log.back().first; }
};
