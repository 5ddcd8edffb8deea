#pragma once
// Selecting a chip: the values it yields and what the main window shows for it.

#include <cstdint>
#include <string>
#include <string_view>

#include "chipdb/ChipRecord.h"
#include "chipdb/SelectedChip.h"
#include "text/TextPair.h"

namespace chipdb {

// The largest chip the program works on (the 512 Mbit flash parts). A larger size from the table
// is cut to it: the chip image buffers grow with the chip, and this bounds what any file or
// table row can make the program allocate.
inline constexpr std::uint32_t kMaxChipSize = 64u * 1024 * 1024;

// Shown (same text in both languages) when a 1.8 V chip is chosen in the device selection dialog.
inline constexpr std::string_view kLowVoltageText = "Данный чип имеет питане 1,8V";
inline constexpr std::string_view kLowVoltageCaption = "Внимание";

struct ChipSelection {
    SelectedChip chip;
    std::string capacity;     // "256x8\n", "4Kx8\n", "16Mx8\n"
    TextPair logLine;         // one navy log entry
    bool spiControls = false; // MmSpi enabled and SpiPanel visible
    bool lowVoltageWarning = false;
};

std::string capacityText(std::uint32_t chipSize);
TextPair selectionLogLine(std::string_view chipName, std::string_view capacity, std::string_view manufacturer,
                          bool ackCheck);

// Applies a row as the selected chip. ackCheck is the tick of MmAck; fromDialog is true when the
// device selection dialog is the active window (only then can the 1.8 V warning appear).
ChipSelection SetParams(const ChipRecord& row, bool ackCheck, bool fromDialog);

} // namespace chipdb
