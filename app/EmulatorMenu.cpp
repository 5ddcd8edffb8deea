#include "app/EmulatorMenu.h"

#include "adapter/emulator/EmulatedFaultText.h"
#include "app/Captions.h"
#include "session/Language.h"
#include "session/Session.h"

namespace {
constexpr FaultItem faultItems[] = {
    {"MmEmuFaultUsb", EmulatedFault::UsbError},         {"MmEmuFaultNak", EmulatedFault::I2cNak},
    {"MmEmuFaultBusy", EmulatedFault::ChipStaysBusy},   {"MmEmuFaultPulled", EmulatedFault::Pulled},
    {"MmEmuFaultCorrupt", EmulatedFault::CorruptReply},
};
static_assert(uint64_t(EmulatorMenu::SuggestedPackets) == FaultPlan{}.afterPackets);
} // namespace

std::span<const FaultItem> EmulatorFaultItems()
{
    return faultItems;
}

void EmulatorMenu::show(bool emulated)
{
    view_.setVisible("MmEmulator", emulated);
    update();
}

void EmulatorMenu::update()
{
    EmulatorCommands &emulator = session_.emulator();
    if (!emulator.available()) // a real adapter, or the emulated one before the database is loaded
        return;
    view_.setEnabled("MmEmuUnplug", emulator.plugged());
    view_.setEnabled("MmEmuPlug", !emulator.plugged());
    view_.setEnabled("MmEmuChip", !session_.busy());
    view_.setEnabled("MmEmuFaultNak", emulator.i2cChipInSocket());
    view_.setChecked("MmEmuLog", !emulator.busLogFile().isEmpty());
}

void EmulatorMenu::UnplugClick()
{
    session_.emulator().unplug();
    update();
}

void EmulatorMenu::PlugClick()
{
    session_.emulator().plug();
    update();
}

void EmulatorMenu::ChipClick()
{
    EmulatorCommands &emulator = session_.emulator();
    if (const std::optional<QString> chip = view_.askEmulatedChip(emulator.chipNames(), emulator.chipInSocket()))
        emulator.putChip(*chip);
    update();
}

void EmulatorMenu::FaultClick(EmulatedFault fault)
{
    const char *item = "";
    for (const FaultItem &f : faultItems)
        if (f.fault == fault)
            item = f.component;
    const std::optional<int> packets =
        view_.askNumber(MenuCaption(item), Localized("USB packets before the fault:", "USB-пакетов до сбоя:"),
                       SuggestedPackets, 0, 1'000'000'000);
    if (packets)
        session_.emulator().armFault(fault, uint64_t(*packets));
}

void EmulatorMenu::ClearFaultClick()
{
    session_.emulator().clearFault();
}

void EmulatorMenu::LogClick()
{
    EmulatorCommands &emulator = session_.emulator();
    if (!emulator.busLogFile().isEmpty()) {
        emulator.stopBusLog();
    } else {
        const QString path = view_.askLogFile(Localized("Bus log file", "Файл журнала шины"));
        if (!path.isEmpty())
            emulator.startBusLog(path);
    }
    update();
}
