#include "app/StartupOptions.h"

StartupOptions ParseStartupOptions(const QStringList &arguments, QStringList *unknown)
{
    StartupOptions options;
    for (const QString &argument : arguments) {
        if (argument == QLatin1String("--emulate")) {
            options.emulate = true;
        } else if (argument.startsWith(QLatin1String("--emulate="))) {
            options.emulate = true;
            options.emulatedChip = argument.section(QLatin1Char('='), 1);
        } else if (argument.startsWith(QLatin1String("--emulate-image="))) {
            options.emulate = true;
            options.emulatedImage = argument.section(QLatin1Char('='), 1);
        } else if (argument.startsWith(QLatin1String("--"))) {
            if (unknown)
                *unknown << argument;
        } else if (options.file.isEmpty()) {
            options.file = argument;
        }
    }
    return options;
}
