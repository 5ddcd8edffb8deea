#pragma once
// What a user can do to the emulated adapter while the program runs, to see how the program meets
// it: plug it out and in, put another chip (or none) into its socket, arm a fault that strikes
// the next operation, and write its bus log to a file. Everything is reported in the log.
#include "adapter/emulator/EmulatedCh341.h"

#include <QString>
#include <QStringList>
#include <cstdint>

class Session;

class EmulatorCommands {
public:
    explicit EmulatorCommands(Session& session);

    // The session runs on the emulated adapter.
    bool available() const;

    bool plugged() const;
    // Through the hot-plug path, as a real adapter that is pulled out or plugged in.
    void unplug();
    void plug();

    // The database chips the emulator can hold, in database order.
    QStringList chipNames() const;
    // The database name of the chip in the socket; empty for an empty socket or the default chip.
    QString chipInSocket() const;
    bool socketEmpty() const;
    bool i2cChipInSocket() const;
    // Puts the database chip `name` into the socket, erased, or kept in an image file of its own
    // when the adapter started with one (EmulatedImageOf); an empty name empties the socket.
    // Refused (false, in red) while an operation runs and for a chip the emulator cannot hold.
    bool putChip(const QString& name);

    // The fault strikes once `afterPackets` more USB packets have gone to the adapter.
    void armFault(EmulatedFault fault, uint64_t afterPackets);
    void clearFault();

    // Writes the bus log to `path` from now on (false, in red, when it cannot be written); stop
    // closes it. The file being written, empty when none is.
    bool startBusLog(const QString& path);
    // Writes the chip's image (and state) file now; false when it could not be written.
    bool saveImage();
    void stopBusLog();
    QString busLogFile() const;

private:
    Session& session_;
    QString socket_;       // the database name of the chip put in last
    bool chipPut_ = false; // socket_ holds the chip in the socket, else the start chip is there
};
