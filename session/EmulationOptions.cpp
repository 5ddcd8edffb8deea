#include "session/EmulationOptions.h"

bool TakeEmulationOption(const QString& argument, EmulationOptions& options, QString& error)
{
    const QString value = argument.section(QLatin1Char('='), 1);
    auto valueOf = [&](const char* name) { return argument.startsWith(QLatin1String(name) + QLatin1Char('=')); };
    if (argument == QLatin1String("--emulate")) {
        options.on = true;
    } else if (valueOf("--emulate")) {
        options.on = true;
        options.chip = value;
    } else if (valueOf("--emulate-image")) {
        options.on = true;
        options.image = value;
    } else if (argument == QLatin1String("--emulate-fast")) {
        options.on = true;
        options.fast = true;
    } else if (valueOf("--emulate-status")) {
        options.on = true;
        if (!(options.status = ParseStatusPreset(value.toStdString())))
            error = QStringLiteral("--emulate-status needs one to three hexadecimal bytes separated by commas, not ") +
                    value;
    } else if (valueOf("--emulate-log")) {
        options.on = true;
        options.logFile = value;
    } else if (valueOf("--emulate-fault")) {
        options.on = true;
        if (!(options.fault = ParseFaultPlan(value.toStdString())))
            error =
                QStringLiteral("--emulate-fault needs usb, nak, busy, pulled or corrupt, optionally @N packets, not ") +
                value;
    } else {
        return false;
    }
    return true;
}
