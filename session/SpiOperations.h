#pragma once
// 25xx SPI chips: the SPI side of Read, Compare and Write, the blank check and the erase worker,
// each after the presence test of the chip.
#include "spi25/SpiText.h"

#include <QString>
#include <memory>

struct SpiSmartWriteJob;

class Session;

class SpiOperations {
public:
    explicit SpiOperations(Session& session) : session_(session) {}

    void SPIReadCommand(const QString& startLine);
    void SPICompareCommand(const QString& startLine);
    // A smart write erases and programs only what differs from the chip (see SpiSmartWrite.h).
    void SPIWriteCommand(const QString& startLine, bool smart = false);
    // Starts the read worker (read, compare or blank check by the runner's modes).
    void SPIReadChip();
    bool StartEraseWorker();

    // The presence test; without a chip the controls return to ready.
    bool ChipPresentOrReady();
    // Before a write or an erase: when the status registers show block protection, asks whether
    // to unprotect first and logs the registers before and after. goOn is false when the command
    // must end (the registers could not be read); eraseFollows when the chip's unprotect sequence
    // ends with a whole-chip erase (MX25L2026).
    struct Unprotection {
        bool goOn = true;
        bool eraseFollows = false;
    };
    Unprotection OfferUnprotect();
    // Unprotects the chip and logs the registers before and after; true when the erase of the
    // chip's unprotect sequence must follow.
    bool UnprotectAndReport();
    // Erases a chip without chip erase: FF into every page.
    void WriteBlankPages();
    // A script's first look at an SPI chip: wakes it and reads status register 1.
    bool WakeAndCheckStatus();
    void PrintSpiLog(const SpiLog& log);

    // The end of a smart write: its summary, then the compare of the read-back with the editor.
    void SmartWriteFinished(float seconds);
    // Where the running (or just ended) smart write is: reading the chip, or reading it back.
    bool SmartWriteReading() const;
    bool SmartWriteReadingBack() const;

private:
    void SPIWriteChip();
    void SPIWriteSST();
    void SPISmartWrite();

    Session& session_;
    std::shared_ptr<SpiSmartWriteJob> smartWrite_;
};
