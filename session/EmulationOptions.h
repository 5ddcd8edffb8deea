#pragma once
// The emulated adapter as both front ends' command lines ask for it:
//   --emulate[=CHIP]         the emulated adapter, with CHIP (a database name) in its socket
//   --emulate-image=FILE     the chip's contents (and FILE.state, its kept status bits) between runs
//   --emulate-fast           answers at once, instead of at the real adapter's pace
//   --emulate-status=HEX[,HEX,HEX]  the chip's status registers at power-up
//   --emulate-log=FILE       the bus log, a line per USB packet and bus event
//   --emulate-fault=KIND[@N] a fault on the first operation: usb, nak, busy, pulled, corrupt
#include "adapter/emulator/EmulatedFaultText.h"

#include <QString>
#include <array>
#include <cstdint>
#include <optional>

struct EmulationOptions {
    bool on = false;
    QString chip; // empty: the selected chip
    QString image;
    bool fast = false;
    std::optional<std::array<uint8_t, 3>> status;
    QString logFile;
    std::optional<FaultPlan> fault;
};

// Takes `argument` when it is one of the options above (true); `error` names a malformed value.
bool TakeEmulationOption(const QString& argument, EmulationOptions& options, QString& error);
