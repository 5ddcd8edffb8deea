#pragma once
// Exit codes of vespera-cli.
#include "session/Outcome.h"

enum ExitCode {
    ExitDone = 0,
    ExitMismatch = 1,  // differences after a verify or compare, or a chip that is not blank
    ExitUsage = 2,     // a usage error, or a file that cannot be used
    ExitNotFound = 3,  // no adapter, no chip, or a chip name the database does not know
    ExitIoFailure = 4, // a USB transfer, the chip or a file operation failed
    ExitCancelled = 5, // Ctrl+C
    ExitRefused = 6,   // a question was answered no (or could not be asked): nothing was sent
    ExitWrongChip = 7, // the chip in the socket is not the selected one
};

inline ExitCode ExitCodeOf(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Completed: return ExitDone;
    case Outcome::Mismatch: return ExitMismatch;
    case Outcome::BadInput: return ExitUsage;
    case Outcome::NoDevice: return ExitNotFound;
    case Outcome::IoFailure: return ExitIoFailure;
    case Outcome::Cancelled: return ExitCancelled;
    case Outcome::Refused: return ExitRefused;
    case Outcome::WrongChip: return ExitWrongChip;
    }
    return ExitIoFailure;
}
