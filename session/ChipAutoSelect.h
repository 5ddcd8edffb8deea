#pragma once
// The SPI auto-select: identifies the chip and looks its id up in the chip table through the
// signature filter of the chip list. One match is chosen; among several, the chip already selected
// is kept when it is one of them, else the user picks in the device dialog.
#include "adapter/bus/SpiMaster.h"
#include "chipdb/ChipListFilter.h"
#include "chipdb/ChipTable.h"
#include "spi25/SpiText.h"

#include <optional>
#include <string>

class Session;

struct AutoSelectResult {
    enum class Outcome {
        NoChip,   // no answer and the kind needs one: the red line is in the log
        ZeroId,   // the chip answered 0: stop without a word
        OneMatch, // the table's current row is the chip: choose it
        Several,  // the table shows the matches: let the user pick
        Unknown,  // nothing matched: the "Unknown device" line is in the log
    };
    Outcome outcome = Outcome::NoChip;
    int matches = 0;
    std::string searchText; // the identification text last searched for ("C22016", "0013")
    // OneMatch found by the RES search: log this line after choosing the row.
    std::optional<LogLine> afterChoosing;
};

// Leaves the table filtered by signature; `filter` must be the table's installed filter test.
AutoSelectResult ReadChipId(bus::SpiMaster& spi, chipdb::ChipTable& table, chipdb::ChipListFilter& filter,
                            bool identificationRequired, SpiLog& log);

// The Auto-select command of the session: reads the id, then chooses the chip as above.
void AutoSelectChip(Session& session, bus::SpiMaster& spi);
