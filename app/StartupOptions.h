#pragma once
// What the command line asks for: an optional dump file and the choice of adapter.
#include "session/EmulationOptions.h"

#include <QString>
#include <QStringList>
#include <optional>

struct StartupOptions {
    QString file;               // the first argument that is not an option; empty when none
    EmulationOptions emulation; // --emulate… options
    QStringList errors;         // options with values that cannot be used
};

// Parses the arguments after the program name. Unknown options are returned in `unknown`.
StartupOptions ParseStartupOptions(const QStringList& arguments, QStringList* unknown = nullptr);
