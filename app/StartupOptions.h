#pragma once
// What the command line asks for: an optional dump file and the choice of adapter.
#include <QString>
#include <QStringList>
#include <optional>

struct StartupOptions {
    QString file;                   // the first argument that is not an option; empty when none
    bool emulate = false;           // --emulate[=CHIPNAME]
    QString emulatedChip;           // CHIPNAME, empty for the default chip
    QString emulatedImage;          // --emulate-image=FILE
};

// Parses the arguments after the program name. Unknown options are returned in `unknown`.
StartupOptions ParseStartupOptions(const QStringList &arguments, QStringList *unknown = nullptr);
