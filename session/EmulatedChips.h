#pragma once
// The chips the emulated adapter can hold: a database row made into an emulated chip, the empty
// socket, and the image file that keeps a chip's contents between runs.
#include "adapter/emulator/EmulatedChipConfig.h"
#include "chipdb/ChipRecord.h"

#include <QString>
#include <optional>

// Nullopt for a row whose kind or sizes the emulator cannot play.
std::optional<EmulatedChipConfig> EmulatedChipOf(const chipdb::ChipRecord& row);

EmulatedChipConfig EmptySocket();

// The image file of `chip` when the adapter started with `startChip` kept in `startImage`: that
// file for the chip it keeps, a file of the chip's own beside it for any other chip
// ("dump.bin" -> "dump.W25Q32FV.bin"), so that no chip ever loads or overwrites another chip's
// contents. Empty (the chip lives in memory only, erased) when the adapter started without one.
QString EmulatedImageOf(const QString& startImage, const QString& startChip, const QString& chip);
