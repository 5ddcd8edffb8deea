#pragma once
// The commands that run a chip operation: Read, Write, Compare, Blank check, Erase and scripts.
// Each clears what the previous operation left, enters the busy state and hands over to the 24xx
// or the 25xx side by the chip's kind; the completion of a step starts the next step of a script.
#include "session/I2cOperations.h"
#include "session/Script.h"
#include "session/SpiOperations.h"

#include <QString>

class Session;

class ChipCommands {
public:
    explicit ChipCommands(Session& session);

    void MmReadClick();
    void MmWriteClick();
    // Writes only what differs from the chip (SPI); a 24xx chip is written whole.
    void MmSmartWriteClick();
    void MmCompareClick();
    void MmCheckFFClick(); // blank check (SPI)
    // Erase (SPI): asks first, and once more when the status registers hold data.
    void MmSpiEraseClick();
    // Starts the erase without asking (a chip without chip erase gets FF written into every page),
    // followed by its blank check.
    void StartErase();
    // The checks that make a write and an erase true of the chip: the read-back compared with what
    // was written, and the blank check after an erase.
    void StartVerify();
    void StartEraseCheck();
    // Runs the ticked steps one after the other; false when none is ticked.
    bool ScRunClick(bool erase, bool blankCheck, bool write, bool compare);

    // Starts a step of a script (nothing for Step::None); after a failed step the script stops.
    void startStep(Script::Step step);
    // Ends a script after a failed step with a red line that names it.
    void stopScript();

    I2cOperations& i2c() { return i2c_; }
    SpiOperations& spi() { return spi_; }

private:
    enum class Command { Read, Write, SmartWrite, Compare };
    void StartCommand(Command which);

    Session& session_;
    I2cOperations i2c_;
    SpiOperations spi_;
};
