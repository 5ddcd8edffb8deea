#include "app/EmulatorMenu.h"

#include "adapter/emulator/EmulatedFaultText.h"
#include "app/Captions.h"
#include "session/Language.h"
#include "session/Session.h"

namespace {
constexpr FaultItem faultItems[] = {
    {component::MmEmuFaultUsb, EmulatedFault::UsbError},         {component::MmEmuFaultNak, EmulatedFault::I2cNak},
    {component::MmEmuFaultBusy, EmulatedFault::ChipStaysBusy},   {component::MmEmuFaultPulled, EmulatedFault::Pulled},
    {component::MmEmuFaultCorrupt, EmulatedFault::CorruptReply},
};
static_assert(uint64_t(EmulatorMenu::SuggestedPackets) == FaultPlan{}.afterPackets);
} // namespace

std::span<const FaultItem> EmulatorFaultItems()
{
    return faultItems;
}

void EmulatorMenu::show(bool emulated)
{
    view_.setVisible(component::MmEmulator, emulated);
    update();
}

void EmulatorMenu::update()
{
    EmulatorCommands& emulator = session_.emulator();
    if (!emulator.available()) // a real adapter, or the emulated one before the database is loaded
        return;
    view_.setEnabled(component::MmEmuUnplug, emulator.plugged());
    view_.setEnabled(component::MmEmuPlug, !emulator.plugged());
    view_.setEnabled(component::MmEmuChip, !session_.busy());
    view_.setEnabled(component::MmEmuFaultNak, emulator.i2cChipInSocket());
    view_.setChecked(component::MmEmuLog, !emulator.busLogFile().isEmpty());
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
    EmulatorCommands& emulator = session_.emulator();
    if (const std::optional<QString> chip = view_.askEmulatedChip(emulator.chipNames(), emulator.chipInSocket()))
        emulator.putChip(*chip);
    update();
}

void EmulatorMenu::FaultClick(EmulatedFault fault)
{
    QString title;
    for (const FaultItem& f : faultItems)
        if (f.fault == fault) title = MenuCaption(f.component);
    const std::optional<int> packets = view_.askNumber(
        title, Localized("USB packets before the fault:", "USB-пакетов до сбоя:"), SuggestedPackets, 0, 1'000'000'000);
    if (packets) session_.emulator().armFault(fault, uint64_t(*packets));
}

void EmulatorMenu::ClearFaultClick()
{
    session_.emulator().clearFault();
}

void EmulatorMenu::LogClick()
{
    EmulatorCommands& emulator = session_.emulator();
    if (!emulator.busLogFile().isEmpty()) {
        emulator.stopBusLog();
    } else {
        const QString path = view_.askLogFile(Localized("Bus log file", "Файл журнала шины"));
        if (!path.isEmpty()) emulator.startBusLog(path);
    }
    update();
}
