#pragma once
// The Emulator menu of the main window, there only on the emulated adapter: its handlers ask the
// user what the command needs and forward to the session's EmulatorCommands; update() enables the
// items that apply (Unplug or Plug, Put chip while no operation runs, the I2C fault for a 24xx chip).
#include "adapter/emulator/EmulatedCh341.h"
#include "app/MainView.h"

#include <span>

class Session;

struct FaultItem {
    ComponentName component;
    EmulatedFault fault;
};
std::span<const FaultItem> EmulatorFaultItems();

class EmulatorMenu {
public:
    EmulatorMenu(MainView& view, Session& session) : view_(view), session_(session) {}

    // The menu is shown only when the program runs on the emulated adapter.
    void show(bool emulated);
    void update();

    void UnplugClick();
    void PlugClick();
    void ChipClick();
    void FaultClick(EmulatedFault fault); // asks for the packet count
    void ClearFaultClick();
    void LogClick(); // starts the bus log file (asking for it) or stops it

    // The packet count a fault strikes after unless the user says otherwise, as on the command line.
    static constexpr int SuggestedPackets = 32;

private:
    MainView& view_;
    Session& session_;
};
