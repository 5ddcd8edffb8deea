#pragma once
// The commands of vespera-cli, each run on the same core as the main window: a Session with the
// settings and chip database the window uses (read, never written), the real or emulated adapter
// and the chip chosen on the command line.
#include "cli/CliFrontEnd.h"
#include "cli/CliOptions.h"
#include "cli/ExitCode.h"
#include "session/FileCommands.h"
#include "session/Session.h"

#include <QJsonObject>

class CliCommands : public CliFrontEnd {
public:
    explicit CliCommands(const CliOptions& options);

    // Runs the command; the exit code.
    int run();
    // Ctrl+C: cancels the running operation through the same path as Esc.
    void interrupt();
    // The result as one JSON object (--json).
    const QJsonObject& report() const { return report_; }

    void operationStarted(Operation operation) override;

private:
    int list();
    int detect();
    int read();
    int write();
    int verify();
    int erase();
    int blank();
    int status();
    int unprotect();
    int info();
    int convert();
    // Loads a dump file of any size and reports its format, size and checksums.
    int describe(const QString& path, FileCommands::Format format);

    // Settings, language, chip database, the chip and, when asked, the adapter.
    int prepare(bool adapter);
    int selectChip(bool adapterOpen);
    // Runs the event loop until the running operation (and what a script adds) has ended.
    void waitIdle();
    // The exit code of the command's outcome; a cancel is reported with the chip's state.
    int finish(const QString& chipState);
    // Loads FILE for a write or a verify: it must fit the chip (or be padded with --pad).
    int loadForChip(const QString& path);
    FileCommands::Format formatOf(const QString& path) const;
    int saveImage(const QString& path, FileCommands::Format format, std::span<const uint8_t> data);
    bool spiChipOrFail();
    void result(const QString& line); // the command's result on stdout (not with -q or --json)

    const CliOptions& options_;
    Session session_;
    QJsonObject report_;
    Operation running_ = Operation::Read;
    bool interrupted_ = false;
};
