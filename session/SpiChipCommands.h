#pragma once
// SPI commands that run on the session's own thread: identification, unique id, auto-select,
// the status registers and unprotect.
#include "spi/SpiStatus.h"

class Session;

class SpiChipCommands {
public:
    explicit SpiChipCommands(Session& session) : session_(session) {}

    void SBIdClick();      // JEDEC, RES and REMS identification lines
    void UID1Click();      // the unique id
    void MmAutoSelClick(); // selects the database chip that matches the identification
    // Reads the status registers into the document's copy (the dialog's Read).
    StatusReadResult ReadStatusIntoShadow();
    // Writes the document's copy to the chip (the dialog's Write).
    void WriteStatusFromShadow();
    void MmUnprotectClick();

private:
    Session& session_;
};
