// vespera-cli: the programmer's operations from the command line, on the window's core.
#include "ProgramVersion.h"
#include "cli/CliCommands.h"
#include "cli/CliOptions.h"
#include "session/AppPaths.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {
int interruptPipe[2] = {-1, -1};

// Ctrl+C only wakes the event loop; a second one ends the program at once.
void OnInterrupt(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(interruptPipe[1], &byte, 1);
    std::signal(SIGINT, SIG_DFL);
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Vespera"));
    const CliParse parse = ParseCliOptions(QCoreApplication::arguments().mid(1));
    if (!parse.options) {
        std::fprintf(stderr, "vespera-cli: %s\nTry 'vespera-cli --help'.\n", qPrintable(parse.error));
        return ExitUsage;
    }
    const CliOptions& options = *parse.options;
    if (options.help) {
        std::printf("%s", qPrintable(CliUsage()));
        return ExitDone;
    }
    if (options.version) {
        std::printf("vespera-cli %s\n", kProgramVersion);
        return ExitDone;
    }
    // The window's files: ChipList.dat and Vespera.ini beside the programs (or the user's copies).
    AppPaths::SetProgramFolder(QCoreApplication::applicationDirPath());

    CliCommands commands(options);
    if (::pipe(interruptPipe) == 0) {
        auto* notifier = new QSocketNotifier(interruptPipe[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, [&commands] {
            char byte;
            [[maybe_unused]] const auto got = ::read(interruptPipe[0], &byte, 1);
            commands.interrupt();
        });
        std::signal(SIGINT, OnInterrupt);
    }
    const int code = commands.run();
    if (options.json) std::printf("%s\n", QJsonDocument(commands.report()).toJson(QJsonDocument::Compact).constData());
    return code;
}
