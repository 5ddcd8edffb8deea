#pragma once
// Rows of the starter chip database (chipdb/data/chips.csv) and the emulated chip each stands for.

#include "adapter/emulator/EmulatedChipConfig.h"
#include "chipdb/ChipCsv.h"

#include <fstream>
#include <functional>
#include <sstream>
#include <vector>

inline std::vector<chipdb::ChipRecord> StarterRows(const std::function<bool(const chipdb::ChipRecord&)>& wanted)
{
    std::ifstream in(VESPERA_CHIPS_CSV);
    std::stringstream text;
    text << in.rdbuf();
    std::vector<chipdb::ChipRecord> rows;
    for (const chipdb::CsvRow& row : chipdb::parseChipCsv(text.str()).rows)
        if (wanted(row.record)) rows.push_back(row.record);
    return rows;
}

inline std::optional<EmulatedChipConfig> EmulatedRow(const chipdb::ChipRecord& row)
{
    return MakeEmulatedChipConfig({row.CHIPTEXT, row.CHIPID, uint32_t(row.CHIPSIZE.value_or(0)),
                                   uint32_t(row.PAGESIZE.value_or(0)), row.SIGNATURE, row.ERTIME.value_or(0),
                                   row.MANUF});
}
