#pragma once
// What the core tells the command line: errors as one line each on stderr, the log with
// --verbose, progress as ProgressLine draws it, and the questions answered by the options
// (--yes, --force, --force-lock) or by the user at a terminal.
#include "cli/CliOptions.h"
#include "cli/ProgressLine.h"
#include "session/Core.h"

#include <QStringList>

class QEventLoop;

class CliFrontEnd : public SessionEvents {
public:
    explicit CliFrontEnd(const CliOptions& options);

    // One line on stderr: "vespera-cli: TEXT".
    void error(const QString& text);
    void note(const QString& text); // only with --verbose
    void beginProgress(const QString& what, uint64_t bytes);
    void endProgress() { progress_.finish(); }

    const QStringList& errors() const { return errors_; }
    bool severalChipsMatched() const { return severalChips_; }
    // Runs the event loop until the controls leave the busy state (the running job has ended).
    void waitWhileBusy(const std::function<bool()>& busy);

    void logAppended(const QString& text, LogColour colour) override;
    void controlsChanged(ControlState state) override;
    void progressChanged(int position, int maximum) override;
    void statusChanged() override {}
    void differencesChanged(const DiffList*) override {}
    void chipSelected(bool) override {}
    void chipChosen(const QString&) override {} // the command line never writes the settings
    void chooseAmongChips() override { severalChips_ = true; }
    bool confirm(const QString& text, const QString& caption) override;
    Answer ask(const Prompt& prompt) override;
    void warn(const QString& text, const QString&) override { error(text); }
    void inform(const QString& text) override { error(text); }
    void fail(const QString& text, const QString&) override { error(text); }

    // A log text as one line: its line breaks become spaces.
    static QString OneLine(const QString& text);

private:
    // Asks at a terminal; no terminal gives no answer: no.
    bool askUser(const QString& text, const QString& option);

    const CliOptions& options_;
    ProgressLine progress_;
    QStringList errors_;
    bool severalChips_ = false;
    QEventLoop* waiting_ = nullptr;
};
