#include "cli/CliFrontEnd.h"

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

void CliFrontEnd::progressChanged(int position, int maximum)
{
    if (!options_.quiet) progress_.update(position, maximum);
}

bool CliFrontEnd::confirm(const QString& text, const QString&)
{
    if (options_.yes) return true;
    if (!isatty(STDIN_FILENO)) {
        error(OneLine(text) + " (no answer without a terminal: give --yes)");
        return false;
    }
    progress_.finish();
    std::fprintf(stderr, "%s [y/N] ", qPrintable(OneLine(text)));
    std::fflush(stderr);
    QTextStream in(stdin);
    const QString answer = in.readLine().trimmed().toLower();
    return answer == QLatin1String("y") || answer == QLatin1String("yes");
}
