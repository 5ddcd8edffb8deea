// vespera-cli: the programmer's operations from the command line, on the window's core.
#include "ProgramVersion.h"
#include "cli/CliCommands.h"
#include "cli/CliOptions.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {
int signalPipe[2] = {-1, -1};

// Ctrl+C and SIGTERM only wake the event loop; a second one ends the program at once.
void OnSignal(int number)
{
    const char byte = char(number);
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
    std::signal(number, SIG_DFL);
}

void PrintJson(const QJsonObject& object)
{
    std::printf("%s\n", QJsonDocument(object).toJson(QJsonDocument::Compact).constData());
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Vespera"));
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    const CliParse parse = ParseCliOptions(arguments);
    if (!parse.options) {
        std::fprintf(stderr, "vespera-cli: %s\nTry 'vespera-cli --help'.\n", qPrintable(parse.error));
        if (arguments.contains(QStringLiteral("--json")))
            PrintJson({{"result", "usage"}, {"exitCode", ExitUsage}, {"errors", QJsonArray{parse.error}}});
        return ExitUsage;
    }
    const CliOptions& options = *parse.options;
    if (options.version) {
        std::printf("vespera-cli %s\n", kProgramVersion);
        return ExitDone;
    }
    if (options.help) {
        std::printf("%s", qPrintable(options.command.isEmpty() || options.command == QLatin1String("help")
                                         ? CliUsage()
                                         : CommandUsage(options.command)));
        return ExitDone;
    }
    // The window's files: ChipList.dat and Vespera.ini beside the programs (or the user's copies).
    AppPaths::SetProgramFolder(QCoreApplication::applicationDirPath());

    CliCommands commands(options);
    if (::pipe(signalPipe) == 0) {
        auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, [&commands] {
            char number = 0;
            [[maybe_unused]] const auto got = ::read(signalPipe[0], &number, 1);
            commands.interrupt(number == SIGTERM ? "SIGTERM" : nullptr);
        });
        std::signal(SIGINT, OnSignal);
        std::signal(SIGTERM, OnSignal);
    }
    const int code = commands.run();
    if (options.json) PrintJson(commands.report());
    return code;
}
