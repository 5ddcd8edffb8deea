#pragma once
// 25xx SPI chips: the SPI side of Read, Compare and Write, the blank check and the erase worker,
// each after the presence test of the chip.
#include "spi/SpiText.h"

#include <QString>

class Session;

class SpiOperations {
public:
    explicit SpiOperations(Session &session) : session_(session) {}

    void SPIReadCommand(const QString &startLine);
    void SPICompareCommand(const QString &startLine);
    void SPIWriteCommand(const QString &startLine);
    // Starts the read worker (read, compare or blank check by the runner's modes).
    void SPIReadChip();
    bool StartEraseWorker();

    // The presence test; without a chip the controls return to ready.
    bool ChipPresentOrReady();
    // A script's first look at an SPI chip: wakes it and reads status register 1.
    bool WakeAndCheckStatus();
    void PrintSpiLog(const SpiLog &log);

private:
    void SPIWriteChip();
    void SPIWriteSST();

    Session &session_;
};
