#pragma once
// The adapter of a session: the real CH341A through libusb or the emulated one, opened at the
// chosen I2C speed, followed through removal and arrival, released at the end.
#include "adapter/bus/Adapter.h"
#include "chipdb/ChipRecord.h"
#include "session/EmulationOptions.h"

#include <QObject>
#include <QString>
#include <memory>

class EmulatedCh341;
class Session;

class AdapterSession {
public:
    explicit AdapterSession(Session& session);
    ~AdapterSession();

    void setEmulation(EmulationOptions emulation) { emulation_ = std::move(emulation); }
    const EmulationOptions& emulation() const { return emulation_; }
    EmulationOptions& emulation() { return emulation_; }
    // The database name of the chip the emulated adapter started with (empty: the default chip),
    // the one whose contents the image file of the options keeps.
    const QString& startChip() const { return startChip_; }

    // The real adapter is created at once; the emulated one needs the chip database (for the chip
    // in its socket) and is created by CreateEmulatedAdapter once it is loaded.
    void RegisterAdapterNotification();
    void CreateEmulatedAdapter();
    // Replaces the adapter (tests put an emulated or failing one in).
    void useAdapter(std::shared_ptr<bus::Adapter> adapter, std::shared_ptr<EmulatedCh341> emulator = nullptr);

    // Opens the adapter at the speed of the settings and logs what was found.
    void InitDevice();
    // Settings menu: I2C speed (tag 0..3) and ACK checking.
    void Mm_SPEED_LOWClick(int tag);
    void MmAckClick(bool checked);
    // Hot-plug events: 0 removed, 1 about to be removed, 3 arrived. While an operation runs, a
    // removal is said at once but the adapter is closed, and an arrival opened, only when the
    // operation has ended: the running worker keeps the device it started with, and the controls
    // stay busy until its end.
    void AdapterNotify(int event);
    // Applies the events held while the session was busy; true when it set the controls itself.
    bool ApplyHeldEvents();
    void CloseAdapter();
    void ResetAdapter();

    bool present() const;
    // The adapter, real or emulated; null before it is created.
    const std::shared_ptr<bus::Adapter>& bus() const { return adapter_; }
    std::shared_ptr<EmulatedCh341> Emulator; // the emulated adapter, null for the real one
    // The 24xx device address the user chose (bit 0 included).
    int slaveAddress() const;

private:
    void CreateAdapter(const chipdb::ChipRecord* emulatedRow);
    void ExplainOpenFailure(UsbStatus status);
    void listen();

    Session& session_;
    EmulationOptions emulation_;
    QObject context_;         // hot-plug reports are handled on the session's thread through it
    unsigned generation_ = 0; // of the library whose reports are listened to
    bool removalHeld_ = false, arrivalHeld_ = false;
    QString startChip_;
    std::shared_ptr<bus::Adapter> adapter_;
};
