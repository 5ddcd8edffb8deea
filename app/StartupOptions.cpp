#include "app/StartupOptions.h"

StartupOptions ParseStartupOptions(const QStringList& arguments, QStringList* unknown)
{
    StartupOptions options;
    for (const QString& argument : arguments) {
        QString error;
        if (TakeEmulationOption(argument, options.emulation, error)) {
            if (!error.isEmpty()) options.errors << error;
        } else if (argument.startsWith(QLatin1String("--"))) {
            if (unknown) *unknown << argument;
        } else if (options.file.isEmpty()) {
            options.file = argument;
        }
    }
    return options;
}
