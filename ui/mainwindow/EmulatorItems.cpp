// The Emulator menu of TFMain and its questions: the chip for the socket, the packet count of a
// fault, the bus log file.
#include "app/EmulatorMenu.h"
#include "session/AppPaths.h"
#include "session/Language.h"
#include "ui/mainwindow/EmulatedChipDialog.h"
#include "ui/mainwindow/TFMain.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMenu>

// Hidden until the controller shows it for the emulated adapter.
void TFMain::buildEmulatorMenu()
{
    QMenu* emulator = menu(nullptr, component::MmEmulator);
    emulator->menuAction()->setVisible(false);
    EmulatorMenu& handlers = control.emulatorMenu();
    auto item = [this, emulator](QMenu* parent, ComponentName name, auto handler) {
        QAction* a = action(name);
        connect(a, &QAction::triggered, this, handler);
        (parent ? parent : emulator)->addAction(a);
        return a;
    };
    item(nullptr, component::MmEmuUnplug, [&handlers] { handlers.UnplugClick(); });
    item(nullptr, component::MmEmuPlug, [&handlers] { handlers.PlugClick(); });
    emulator->addSeparator();
    item(nullptr, component::MmEmuChip, [&handlers] { handlers.ChipClick(); });
    QMenu* faults = menu(emulator, component::MmEmuFault);
    for (const FaultItem& f : EmulatorFaultItems())
        item(faults, f.component, [&handlers, fault = f.fault] { handlers.FaultClick(fault); });
    faults->addSeparator();
    item(faults, component::MmEmuFaultClear, [&handlers] { handlers.ClearFaultClick(); });
    emulator->addSeparator();
    item(nullptr, component::MmEmuLog, [&handlers] { handlers.LogClick(); })->setCheckable(true);
}

std::optional<QString> TFMain::askEmulatedChip(const QStringList& chips, const QString& current)
{
    EmulatedChipDialog dialog(chips, current, this);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.chosen();
}

std::optional<int> TFMain::askNumber(const QString& title, const QString& label, int suggested, int minimum,
                                     int maximum)
{
    bool ok = false;
    const int value = QInputDialog::getInt(this, title, label, suggested, minimum, maximum, 1, &ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

QString TFMain::askLogFile(const QString& title)
{
    QFileDialog dialog(this, title, AppPaths::DataFolder());
    dialog.setOption(QFileDialog::DontUseNativeDialog); // Qt's own, as the dump dialogs
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({LocalizedCaption("Text (*.txt *.log)", "Текст (*.txt *.log)"),
                           LocalizedCaption("All Files (*)", "Все файлы (*)")});
    dialog.selectFile(QStringLiteral("Vespera_BusLog.txt"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}
