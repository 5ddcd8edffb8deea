#pragma once
// What the core tells the command line: errors as one line each on stderr, the log with
// --verbose, progress as ProgressLine draws it, and the questions answered by --yes or the user.
#include "cli/CliOptions.h"
#include "cli/ProgressLine.h"
#include "session/SessionEvents.h"

#include <QStringList>

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

    void logAppended(const QString& text, LogColour colour) override;
    void controlsChanged(ControlState) override {}
    void progressChanged(int position, int maximum) override;
    void statusChanged() override {}
    void differencesChanged(const DiffList*) override {}
    void chipSelected(bool) override {}
    void chipChosen(const QString&) override {} // the command line never writes the settings
    void chooseAmongChips() override { severalChips_ = true; }
    bool confirm(const QString& text, const QString& caption) override;
    void warn(const QString& text, const QString&) override { error(text); }
    void inform(const QString& text) override { error(text); }
    void fail(const QString& text, const QString&) override { error(text); }

    // A log text as one line: its line breaks become spaces.
    static QString OneLine(const QString& text);

private:
    const CliOptions& options_;
    ProgressLine progress_;
    QStringList errors_;
    bool severalChips_ = false;
};
