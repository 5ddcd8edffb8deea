#pragma once
// The SPI auto-select (ReadChipId): identifies the chip and looks its identification up in the
// chip table through the signature filter of the chip list. The table is left filtered by
// signature; what to do with the matches (choose the one row, or open the device selection
// dialog on several) is the window's.

#include "adapter/ch341a/Ch341Library.h"
#include "chipdb/ChipListFilter.h"
#include "chipdb/ChipTable.h"
#include "spi25/SpiText.h"

#include <optional>
#include <string>
#include <string_view>

struct AutoSelectResult {
    enum class Outcome {
        NoChip,   // no answer and the kind needs one: the red line is in the log
        ZeroId,   // the chip answered 0: stop without a word
        OneMatch, // the table's current row is the chip: choose it (ChooseChip)
        Several,  // open the device selection dialog on the filtered list
        Unknown,  // nothing matched: the "Unknown device" line is in the log
    };
    Outcome outcome = Outcome::NoChip;
    int matches = 0;
    std::string searchText; // the identification text last searched for ("C22016", "0013")
    // OneMatch found by the RES search: log this line after choosing the row.
    std::optional<LogLine> afterChoosing;
};

// `filter` must be the table's installed filter test (as the window installs it).
AutoSelectResult ReadChipId(Ch341Library& library, chipdb::ChipTable& table, chipdb::ChipListFilter& filter,
                            std::string_view selectedKind, SpiLog& log);
