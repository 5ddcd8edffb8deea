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
    explicit ChipCommands(Session &session);

    void MmReadClick();
    void MmWriteClick();
    void MmCompareClick();
    void MmCheckFFClick(); // blank check (SPI)
    // Erase (SPI): asks first, and once more when the status registers hold data.
    void MmSpiEraseClick();
    // Starts the erase worker without asking.
    void StartErase();
    // Runs the ticked steps one after the other; false when none is ticked.
    bool ScRunClick(bool erase, bool blankCheck, bool write, bool compare);

    // Starts a step of a script (nothing for Step::None).
    void startStep(Script::Step step);

    I2cOperations &i2c() { return i2c_; }
    SpiOperations &spi() { return spi_; }

private:
    enum class Command { Read, Write, Compare };
    void StartCommand(Command which);

    Session &session_;
    I2cOperations i2c_;
    SpiOperations spi_;
};
