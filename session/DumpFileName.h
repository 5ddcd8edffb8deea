#pragma once
// The name of the automatic dump file written after each read.
#include <QString>

// folder/chip.ext, or folder/chip (n).ext with the first n = 1, 2, … that names no file yet.
// Characters that would leave the folder are replaced in the chip name.
QString AutoDumpPath(const QString& folder, const QString& chipName, const QString& extension);
