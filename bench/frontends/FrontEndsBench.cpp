// Reads and writes an 8 MiB emulated W25Q64FV through the main window (its Read and Write actions,
// offscreen) and through vespera-cli, and prints the wall time of each. Both run on the same core
// and the same emulated adapter at the real adapter's pace, so the figures should agree and be
// what a user waits for. Also times how long Esc takes to stop a running read in the window.
//   ./frontends_bench            (about five minutes: the emulated adapter runs in real time)
#include "session/AppPaths.h"
#include "ui/mainwindow/TFMain.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <QWindow>
#include <cstdio>

namespace {
constexpr int ChipSize = 8 << 20;

double Seconds(const QElapsedTimer& clock)
{
    return clock.nsecsElapsed() / 1e9;
}

// Triggers a window action and runs the event loop until the controls are ready again.
double TimeAction(TFMain& window, const char* name)
{
    QElapsedTimer clock;
    clock.start();
    qobject_cast<QAction*>(window.component(name))->trigger();
    while (window.controller().busy()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return Seconds(clock);
}

// Starts a read, presses Esc after `after` ms, and returns the seconds from the key to ready.
double TimeEscape(TFMain& window, int after)
{
    qobject_cast<QAction*>(window.component("MmRead"))->trigger();
    const QDeadlineTimer running(after);
    while (!running.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QElapsedTimer clock;
    clock.start();
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(window.windowHandle(), &release);
    while (window.controller().busy()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    return Seconds(clock);
}

double TimeCli(const QString& program, const QStringList& arguments)
{
    QElapsedTimer clock;
    clock.start();
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(-1);
    if (process.exitCode() != 0)
        std::fprintf(stderr, "vespera-cli %s: exit %d\n", qPrintable(arguments.join(' ')), process.exitCode());
    return Seconds(clock);
}
} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir folder;
    QFile::copy(VESPERA_CHIPLIST_DAT, folder.filePath("ChipList.dat"));
    const QString cli = folder.filePath("vespera-cli");
    QFile::copy(VESPERA_CLI, cli);
    QFile ini(folder.filePath("Vespera.ini"));
    ini.open(QIODevice::WriteOnly);
    ini.write("[Lang]\nId=1\n[Settings]\nVerify=0\n"); // both writes without the verify
    ini.close();
    AppPaths::SetProgramFolder(folder.path());

    StartupOptions options;
    options.emulation.on = true;
    options.emulation.chip = QStringLiteral("W25Q64FV");
    options.emulation.image = folder.filePath("window-chip.bin");
    TFMain window(options);
    window.show();
    const QDeadlineTimer ready(10000);
    while (window.controller().session().state() != Ready && !ready.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);

    const double escape = TimeEscape(window, 2000);
    const double windowRead = TimeAction(window, "MmRead");
    std::vector<uint8_t> image(ChipSize);
    for (int i = 0; i < ChipSize; ++i) image[i] = uint8_t(i * 31 + (i >> 12));
    window.controller().session().document().editor().load(image);
    const double windowWrite = TimeAction(window, "MmWrite");

    QFile dump(folder.filePath("image.bin"));
    dump.open(QIODevice::WriteOnly);
    dump.write(reinterpret_cast<const char*>(image.data()), ChipSize);
    dump.close();
    const QStringList emulate = {"--emulate=W25Q64FV", "--emulate-image=" + folder.filePath("cli-chip.bin"), "-q"};
    const double cliRead = TimeCli(cli, emulate + QStringList{"read", folder.filePath("read.bin")});
    const double cliWrite = TimeCli(cli, emulate + QStringList{"--no-verify", "write", dump.fileName()});

    std::printf("8 MiB W25Q64FV, emulated adapter   window     vespera-cli\n");
    std::printf("read                               %7.2f s  %7.2f s\n", windowRead, cliRead);
    std::printf("write (without verify)             %7.2f s  %7.2f s\n", windowWrite, cliWrite);
    std::printf("Esc during a read, key to ready    %7.3f s\n", escape);
    return 0;
}
