#pragma once
// The commands of vespera-cli, each run on the same core as the main window: a Session with the
// settings and chip database the window uses (read, never written), the real or emulated adapter
// and the chip chosen on the command line.
#include "cli/CliFrontEnd.h"
#include "cli/CliOptions.h"
#include "cli/ExitCode.h"
#include "session/Core.h"

#include <QJsonObject>

class CliCommands : public CliFrontEnd {
public:
    explicit CliCommands(const CliOptions& options);

    // Runs the command; the exit code.
    int run();
    // Ctrl+C or SIGTERM: cancels the running operation through the same path as Esc.
    void interrupt(const char* signalName);
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
    int help();

    // Settings, language, chip database, the chip and, when asked, the adapter.
    int prepare(bool adapter);
    int selectChip(bool adapterOpen);
    // Runs the event loop until the running operation has ended.
    void waitIdle();
    // The exit code of the command's outcome; a cancel is reported with the chip's state.
    int finish(const QString& chipState);
    // The emulated chip's image file is saved: a failure is an error.
    int saveEmulatedImage(int code);
    // Loads FILE for a write or a verify into the editor: it must fit the chip (or be padded with
    // --pad).
    int loadForChip(const QString& path);
    DumpFormat formatOf(const QString& path) const;
    int saveImage(const QString& path, DumpFormat format, std::span<const uint8_t> data,
                  std::span<const uint8_t> registers);
    // A read the file could not take is kept in a file of its own rather than lost.
    void keepRecovery(std::span<const uint8_t> data);
    bool chipFamily(bool spi, bool i2c, bool microwire);
    void result(const QString& line); // the command's result on stdout (not with -q, --json or data on stdout)
    QJsonObject chipJson() const;

    const CliOptions& options_;
    Session session_;
    QJsonObject report_;
    Operation running_ = Operation::Read;
    bool interrupted_ = false;
    const char* signal_ = nullptr;
    bool dataOnStdout_ = false;
};
