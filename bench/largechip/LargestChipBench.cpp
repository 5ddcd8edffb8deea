// The largest chip (64 MiB W25Q512JV, 4-byte address opcodes) on the fast emulated adapter: opens
// a 64 MiB dump, writes it (with the verify that follows), reads the chip and compares it, through
// the session core alone, the main window (offscreen, with the hex view scrolled across the image)
// and vespera-cli. Each runs in a process of its own; the table gives its wall times and its peak
// resident memory (the emulated chip's cells included, as the emulator runs in-process) against the
// bound of 3 x chip size + 150 MiB.
//   ./largest_chip_bench
#include "session/AppPaths.h"
#include "session/Session.h"
#include "tests/support/LogOnlySessionEvents.h"
#include "ui/hexview/HexView.h"
#include "ui/mainwindow/TFMain.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {
constexpr std::size_t ChipSize = std::size_t(64) << 20;
constexpr double BoundMiB = 3.0 * 64 + 150;
const char* const ChipName = "W25Q512JV";

double Seconds(const QElapsedTimer& clock)
{
    return double(clock.nsecsElapsed()) / 1e9;
}

// VmHWM of this process in MiB.
double PeakResidentMiB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

void Report(const char* front, const char* step, double seconds)
{
    std::printf("%-8s %-34s %8.2f s   peak RSS so far %6.1f MiB\n", front, step, seconds, PeakResidentMiB());
    std::fflush(stdout);
}

// Every byte differs from the one 32 MiB away, so a wrapped address would show in the compare.
std::vector<uint8_t> Image()
{
    std::vector<uint8_t> bytes(ChipSize);
    for (std::size_t i = 0; i < ChipSize; ++i) bytes[i] = uint8_t(uint32_t(i * 0x9E3779B1u) >> 24);
    return bytes;
}

void PrepareFolder(const QString& folder)
{
    AppPaths::SetProgramFolder(folder);
    QFile ini(folder + "/Vespera.ini");
    ini.open(QIODevice::WriteOnly);
    ini.write("[Lang]\nId=1\n");
}

// --- The session core alone -------------------------------------------------------------------

// Prints the core's red lines, and nothing else.
class QuietEvents : public LogOnlySessionEvents {
public:
    void logAppended(const QString& text, LogColour colour) override
    {
        if (colour == LogColour::Red) std::fprintf(stderr, "core: %s\n", qPrintable(text));
    }
};

double TimeCore(Session& session, const std::function<void()>& command)
{
    QElapsedTimer clock;
    clock.start();
    session.resetOutcome();
    command();
    while (session.busy()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    if (session.outcome() != Outcome::Completed) std::fprintf(stderr, "core: the step did not complete\n");
    return Seconds(clock);
}

int RunCore(int argc, char* argv[], const QString& folder)
{
    QCoreApplication app(argc, argv);
    PrepareFolder(folder);
    QuietEvents events;
    Session session(events);
    session.automaticDumps = false;
    if (session.catalogue().LoadChipDatabase(folder + "/ChipList.dat") != ChipCatalogue::DatabaseLoad::Loaded ||
        !session.catalogue().locate(ChipName))
        return 2;
    session.catalogue().SetParams();
    EmulationOptions emulation;
    emulation.on = true;
    emulation.fast = true;
    emulation.chip = QString::fromLatin1(ChipName);
    session.adapter().setEmulation(emulation);
    session.adapter().CreateEmulatedAdapter();
    session.adapter().InitDevice();
    session.ActivateControls(Ready);

    QElapsedTimer clock;
    clock.start();
    if (!session.files().open(folder + "/image.bin", FileCommands::Format::Bin)) return 3;
    Report("core", "open the 64 MiB dump", Seconds(clock));
    Report("core", "write and verify", TimeCore(session, [&] { session.write(); }));
    Report("core", "read", TimeCore(session, [&] { session.read(); }));
    Report("core", "compare", TimeCore(session, [&] { session.compare(); }));
    const bool exact = std::ranges::equal(session.adapter().Emulator->memory(), Image());
    std::printf("core     chip holds the dump byte for byte: %s\n", exact ? "yes" : "NO");
    return exact ? 0 : 1;
}

// --- The main window --------------------------------------------------------------------------

double TimeAction(TFMain& window, const char* name)
{
    QElapsedTimer clock;
    clock.start();
    window.controller().session().resetOutcome();
    qobject_cast<QAction*>(window.component(name))->trigger();
    while (window.controller().busy()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    if (window.controller().session().outcome() != Outcome::Completed)
        std::fprintf(stderr, "window: %s did not complete\n", name);
    return Seconds(clock);
}

// Moves the hex view's scroll bar in `steps` jumps across the whole image, painting each screen.
double MillisecondsPerScroll(HexView& view, int steps)
{
    QScrollBar& bar = *view.verticalScrollBar();
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i <= steps; ++i) {
        bar.setValue(int(qint64(bar.maximum()) * i / steps));
        view.viewport()->repaint();
    }
    return double(clock.nsecsElapsed()) / 1e6 / (steps + 1);
}

int RunWindow(int argc, char* argv[], const QString& folder)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    PrepareFolder(folder);
    StartupOptions options;
    options.emulation.on = true;
    options.emulation.fast = true;
    options.emulation.chip = QString::fromLatin1(ChipName);
    options.file = folder + "/image.bin";
    QElapsedTimer clock;
    clock.start();
    TFMain window(options);
    window.resize(1000, 800);
    window.show();
    const QDeadlineTimer ready(60000);
    while (window.controller().session().state() != Ready && !ready.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    Report("window", "start with the 64 MiB dump open", Seconds(clock));
    Report("window", "write and verify", TimeAction(window, "MmWrite"));
    Report("window", "read", TimeAction(window, "MmRead"));
    Report("window", "compare", TimeAction(window, "MmCompare"));
    HexView& view = *window.hexEditor();
    std::printf("window   hex view: %d rows; a jump and a repaint take %.2f ms (200 jumps across the image)\n",
                view.verticalScrollBar()->maximum(), MillisecondsPerScroll(view, 200));
    const bool exact = std::ranges::equal(window.controller().session().adapter().Emulator->memory(), Image());
    std::printf("window   chip holds the dump byte for byte: %s\n", exact ? "yes" : "NO");
    return exact ? 0 : 1;
}

// --- The driver -------------------------------------------------------------------------------

struct ChildRun {
    int exitCode = -1;
    double seconds = 0;
    double peakMiB = 0;
};

// Runs a program to its end; its peak resident memory comes from the kernel's account of it.
ChildRun Run(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    QElapsedTimer clock;
    clock.start();
    const pid_t child = fork();
    if (child == 0) {
        execv(argv[0], argv.data());
        _exit(127);
    }
    ChildRun run;
    int status = 0;
    rusage usage{};
    if (child > 0 && wait4(child, &status, 0, &usage) == child) {
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.peakMiB = double(usage.ru_maxrss) / 1024.0;
    }
    run.seconds = Seconds(clock);
    return run;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc == 3 && std::strcmp(argv[1], "core") == 0) return RunCore(argc, argv, QString::fromLocal8Bit(argv[2]));
    if (argc == 3 && std::strcmp(argv[1], "window") == 0) return RunWindow(argc, argv, QString::fromLocal8Bit(argv[2]));

    QTemporaryDir temporary;
    const QString folder = temporary.path();
    QFile::copy(VESPERA_CHIPLIST_DAT, folder + "/ChipList.dat");
    QFile::copy(VESPERA_CLI, folder + "/vespera-cli");
    PrepareFolder(folder);
    {
        const std::vector<uint8_t> image = Image();
        QFile dump(folder + "/image.bin");
        dump.open(QIODevice::WriteOnly);
        dump.write(reinterpret_cast<const char*>(image.data()), qint64(image.size()));
    }
    const std::string self = QFile::symLinkTarget("/proc/self/exe").toStdString();
    const std::string dir = folder.toStdString(), cli = dir + "/vespera-cli", image = dir + "/image.bin";
    const std::vector<std::string> emulate = {cli, std::string("--emulate=") + ChipName, "--emulate-fast",
                                              "--emulate-image=" + dir + "/cli-chip.bin", "-q"};
    const auto withCommand = [&](std::initializer_list<std::string> command) {
        std::vector<std::string> arguments = emulate;
        arguments.insert(arguments.end(), command);
        return arguments;
    };
    const std::pair<const char*, std::vector<std::string>> runs[] = {
        {"session core: open, write + verify, read, compare", {self, "core", dir}},
        {"window: open, write + verify, read, compare, scroll", {self, "window", dir}},
        {"vespera-cli write (and verify)", withCommand({"write", image})},
        {"vespera-cli read", withCommand({"read", dir + "/read.bin"})},
        {"vespera-cli verify", withCommand({"verify", image})},
    };
    std::printf("64 MiB %s, fast emulated adapter; bound on peak RSS: 3 x 64 MiB + 150 MiB = %.0f MiB\n\n", ChipName,
                BoundMiB);
    std::vector<std::pair<const char*, ChildRun>> results;
    for (const auto& [name, arguments] : runs) results.emplace_back(name, Run(arguments));
    std::printf("\n%-52s %6s %9s %14s\n", "process", "exit", "wall s", "peak RSS MiB");
    bool allWithin = true;
    for (const auto& [name, run] : results) {
        const bool within = run.peakMiB < BoundMiB;
        allWithin = allWithin && within && run.exitCode == 0;
        std::printf("%-52s %6d %9.2f %9.1f %s\n", name, run.exitCode, run.seconds, run.peakMiB,
                    within ? "within" : "OVER");
    }
    return allWithin ? 0 : 1;
}
