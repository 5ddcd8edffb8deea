#include "cli/CliFrontEnd.h"

#include <QEventLoop>
#include <QTextStream>
#include <cstdio>
#include <unistd.h>

CliFrontEnd::CliFrontEnd(const CliOptions& options) : options_(options), progress_(stderr, isatty(STDERR_FILENO) != 0)
{
}

QString CliFrontEnd::OneLine(const QString& text)
{
    return text.simplified();
}

void CliFrontEnd::error(const QString& text)
{
    const QString line = OneLine(text);
    if (line.isEmpty()) return;
    errors_ << line;
    progress_.finish();
    std::fprintf(stderr, "vespera-cli: %s\n", qPrintable(line));
    std::fflush(stderr);
}

void CliFrontEnd::note(const QString& text)
{
    if (!options_.verbose) return;
    progress_.finish();
    std::fprintf(stderr, "%s\n", qPrintable(text.trimmed()));
    std::fflush(stderr);
}

void CliFrontEnd::beginProgress(const QString& what, uint64_t bytes)
{
    if (!options_.quiet) progress_.begin(what, bytes);
}

void CliFrontEnd::logAppended(const QString& text, LogColour colour)
{
    if (colour == LogColour::Red)
        error(text);
    else
        note(text);
}

void CliFrontEnd::controlsChanged(ControlState state)
{
    if (state != Busy && waiting_) waiting_->quit();
}

void CliFrontEnd::waitWhileBusy(const std::function<bool()>& busy)
{
    // The end of a job arrives as an event: the loop sleeps until then.
    QEventLoop loop;
    waiting_ = &loop;
    if (busy()) loop.exec();
    waiting_ = nullptr;
    endProgress();
}

void CliFrontEnd::progressChanged(int position, int maximum)
{
    if (!options_.quiet) progress_.update(position, maximum);
}

bool CliFrontEnd::askUser(const QString& text, const QString& option)
{
    if (!isatty(STDIN_FILENO)) {
        error(OneLine(text) + " (no answer without a terminal: give " + option + ")");
        return false;
    }
    progress_.finish();
    std::fprintf(stderr, "%s [y/N] ", qPrintable(OneLine(text)));
    std::fflush(stderr);
    QTextStream in(stdin);
    const QString answer = in.readLine().trimmed().toLower();
    return answer == QLatin1String("y") || answer == QLatin1String("yes");
}

bool CliFrontEnd::confirm(const QString& text, const QString&)
{
    return options_.yes || askUser(text, QStringLiteral("--yes"));
}

Answer CliFrontEnd::ask(const Prompt& prompt)
{
    switch (prompt.question) {
    case Question::WrongChip:
        // Another chip than the one named is a mistake until said otherwise, never a question.
        if (options_.force) return Answer::Yes;
        error(OneLine(prompt.text) + " (--force goes on)");
        return Answer::No;
    case Question::LockStatusRegister:
        if (options_.forceLock) return Answer::Yes;
        error(OneLine(prompt.text) + " (--force-lock writes them)");
        return Answer::No;
    case Question::EraseChip:
    case Question::EraseWithStatus:
    case Question::Unprotect:
    case Question::EraseBeforeWrite:
    case Question::LowVoltage: break;
    }
    return confirm(prompt.text, prompt.caption) ? Answer::Yes : Answer::No;
}
