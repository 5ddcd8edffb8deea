#pragma once
// The programming core both front ends drive: the window's controller and vespera-cli hold one
// Session each. It owns every piece of state of a run, each in one place (the settings, the
// document, the adapter, the chip catalogue, the operation runner, the script), the commands on
// them, and the log and state every command reports through SessionEvents.
#include "buffer/DiffList.h"
#include "chipdb/SelectedChip.h"
#include "session/AdapterSession.h"
#include "session/ChipCatalogue.h"
#include "session/ChipCommands.h"
#include "session/Document.h"
#include "session/EmulatorCommands.h"
#include "session/FileCommands.h"
#include "session/KnownChipImage.h"
#include "session/MainSettings.h"
#include "session/OperationCompletion.h"
#include "session/OperationRunner.h"
#include "session/Outcome.h"
#include "session/Script.h"
#include "session/SessionEvents.h"
#include "session/SpiChipCommands.h"

#include <QString>
#include <cstdint>
#include <span>

class Session {
public:
    explicit Session(SessionEvents& events);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    SessionEvents& events() { return events_; }
    // Vespera.ini as read at start-up; the window keeps it current and writes it back.
    MainSettings& settings() { return settings_; }
    const MainSettings& settings() const { return settings_; }
    Document& document() { return document_; }
    AdapterSession& adapter() { return adapter_; }
    ChipCatalogue& catalogue() { return catalogue_; }
    OperationRunner& runner() { return runner_; }
    Script& script() { return script_; }
    ChipCommands& commands() { return commands_; }
    SpiChipCommands& spi() { return spi_; }
    FileCommands& files() { return files_; }
    OperationCompletion& completion() { return completion_; }
    // What the chip held when last read or checked, while nothing can have changed it since.
    KnownChipImage& knownChip() { return knownChip_; }
    EmulatorCommands& emulator() { return emulator_; }

    // The chip every operation works on.
    const chipdb::SelectedChip& chip() const { return catalogue_.chip; }
    bool isSpiChip() const;
    bool isI2cChip() const;

    // The one way to write to the log; a number >= 0 is appended in decimal and hexadecimal.
    void PrintLog(const QString& text, LogColour colour = LogColour::Navy, int64_t number = -1);
    // A red line that also decides how the command ended (the first failure counts).
    void fail(Outcome outcome, const QString& text, int64_t number = -1);
    void noteOutcome(Outcome outcome);
    Outcome outcome() const { return outcome_; }
    // A front end starts a command (not a step a script goes on with): a fresh outcome.
    void resetOutcome() { outcome_ = Outcome::Completed; }

    // Starts a worker that holds the adapter and the chip image for as long as it runs; when no
    // thread can be created the failure is logged and the controls return to ready.
    bool startWorker(WorkerBody body, std::shared_ptr<WorkerParams> params);

    // The control state; entering ready drops what is left of a script.
    void ActivateControls(ControlState state);
    ControlState state() const { return state_; }
    bool busy() const { return state_ == Busy; }

    // Checksum line of the status bar (empty while a read runs) and the adapter's presence mark
    // (-1 absent, 0 before the first open, else open).
    QString checkSumText;
    int adapterHandle = 0;
    void statusChanged() { events_.statusChanged(); }

    // The differences of the last compare.
    DiffList& differences() { return diffs_; }
    void showDifferences();
    void hideDifferences();

    // Whether a finished read writes the automatic dump file into the dump folder.
    bool automaticDumps = true;

private:
    SessionEvents& events_;
    MainSettings settings_;
    Document document_;
    ChipCatalogue catalogue_;
    OperationRunner runner_;
    Script script_;
    DiffList diffs_;
    ControlState state_ = NoAdapter;
    Outcome outcome_ = Outcome::Completed;
    KnownChipImage knownChip_;
    AdapterSession adapter_;
    ChipCommands commands_;
    SpiChipCommands spi_;
    FileCommands files_;
    OperationCompletion completion_;
    EmulatorCommands emulator_;
};
