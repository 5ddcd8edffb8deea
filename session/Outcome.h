#pragma once
// How a command ended, for a front end that must say so in one word (the command line's exit
// code). The log says the same in full; the first failure of a command decides its outcome.
enum class Outcome {
    Completed, // what the user asked for is true of the chip or the file
    Mismatch,  // differences found, or the chip is not blank
    BadInput,  // a file or an argument that cannot be used
    NoDevice,  // no adapter or no chip
    IoFailure, // a USB transfer, the chip or a file operation failed
    Cancelled, // Esc, Stop or Ctrl+C
    Refused,   // the user (or a missing confirmation) said no: nothing was sent to the chip
    WrongChip, // the chip in the socket is not the one selected
};
