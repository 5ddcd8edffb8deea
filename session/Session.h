#pragma once
// The programming core both front ends drive: the window's controller and vespera-cli hold one
// Session each. It owns every piece of state of a run (the settings, the document, the adapter, the
// chip catalogue, the job runner) and offers the user's verbs on them; each verb builds a job
// (session/operations/Jobs.h) and runs it, reporting through SessionEvents.
#include "buffer/DiffList.h"
#include "chipdb/Chip.h"
#include "session/AdapterSession.h"
#include "session/ChipCatalogue.h"
#include "session/Document.h"
#include "session/EmulatorCommands.h"
#include "session/FileCommands.h"
#include "session/KnownChipImage.h"
#include "session/MainSettings.h"
#include "session/Outcome.h"
#include "session/SessionEvents.h"
#include "session/job/JobRunner.h"
#include "session/operations/Jobs.h"

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
    const AdapterSession& adapter() const { return adapter_; }
    ChipCatalogue& catalogue() { return catalogue_; }
    FileCommands& files() { return files_; }
    EmulatorCommands& emulator() { return emulator_; }
    JobRunner& runner() { return runner_; }
    // What the chip held when last read or checked, while nothing can have changed it since.
    KnownChipImage& knownChip() { return knownChip_; }

    // The chip every operation works on.
    const chipdb::Chip& chip() const { return catalogue_.chip; }
    bool isSpiChip() const { return chip().isSpi(); }
    bool isI2cChip() const { return chip().isI2c(); }

    // --- The user's verbs. Each returns at once; the job runs until the controls are ready. ---
    void read();
    void compare();
    void write(ops::WriteMode mode = ops::WriteMode::Plain);
    void smartWrite();
    void blankCheck();
    void erase();
    // Erase, blank check, write, compare as ticked; false when nothing is ticked (a box said so).
    bool runScript(ops::ScriptSteps steps);
    // Asks the running job to stop after its current step; nothing happens without one.
    void cancel() { runner_.cancel(); }

    // What the chip in the socket answers and which chips of the database that is.
    struct Detection {
        QString adapter;       // the adapter's name, empty without one
        bool answered = false; // a chip drives the data line (not all ones, not all zeros)
        std::array<uint8_t, 3> jedec{};
        std::array<uint8_t, 2> res{}, rems{};
        QString signature; // the id the database is searched by: "EF4017", or the RES id "1313"
        QStringList matches;
    };

    // --- Short commands, done before they return. ---
    Detection detect();
    void identify();     // the JEDEC, RES and REMS lines
    void readUniqueId(); // the unique id line
    void autoSelect();   // the chip's id looked up in the database
    // The status registers into the document's shadow (and the log); how many were read before a
    // failure (all of them when none failed).
    int readStatus();
    // The shadow into the chip's status registers; asks first when the write locks them.
    void writeStatus();
    void unprotect();

    // The one way to write to the log; a number >= 0 is appended in decimal and hexadecimal.
    void PrintLog(const QString& text, LogColour colour = LogColour::Navy, int64_t number = -1);
    // A red line that also decides how the command ended (the first failure counts).
    void fail(Outcome outcome, const QString& text, int64_t number = -1);
    void noteOutcome(Outcome outcome);
    Outcome outcome() const { return outcome_; }
    // A front end starts a command: a fresh outcome.
    void resetOutcome() { outcome_ = Outcome::Completed; }

    // The control state.
    void ActivateControls(ControlState state);
    ControlState state() const { return state_; }
    bool busy() const { return state_ == Busy; }

    // Checksum line of the status bar (empty while a read runs) and the adapter's presence mark
    // (-1 absent, 0 before the first open, else open).
    QString checkSumText;
    int adapterHandle = 0;
    void statusChanged() { events_.statusChanged(); }
    // Computes the checksum line of the editor's chip bytes, logs it and shows it.
    void showCheckSum();
    // Loads the editor with the first chip-size bytes of the transfer buffer (a new selection, a
    // loaded file, a changed dump format).
    void loadEditorFromTransfer();

    // The differences of the last compare.
    DiffList& differences() { return diffs_; }
    void showDifferences();
    void hideDifferences();

    // Whether a finished read writes the automatic dump file into the dump folder, and whether
    // start lines tell how to cancel (the window's Esc).
    bool automaticDumps = true;
    bool cancelHints = true;
    // What the last write did to the chip.
    const ops::WriteReport& writeReport() { return bench().writeReport; }

private:
    // What a job needs, captured now; null (after a red line) without an adapter or a driver.
    ops::Inputs inputs();
    ops::Workbench& bench();
    // Starts a job with the controls busy; they return to ready when it ends.
    void start(Job job);
    // A command that needs an SPI chip refuses others with a red line.
    bool spiChip(const QString& command);
    // Selects the chip the socket answers with, when the user picks it over the selected one.
    ops::UseDetectedChip detectedChip();

    SessionEvents& events_;
    MainSettings settings_;
    Document document_;
    ChipCatalogue catalogue_;
    DiffList diffs_;
    KnownChipImage knownChip_;
    AdapterSession adapter_;
    FileCommands files_;
    EmulatorCommands emulator_;
    std::unique_ptr<ops::Workbench> bench_;
    ControlState state_ = NoAdapter;
    Outcome outcome_ = Outcome::Completed;
    JobRunner runner_;
};
