#pragma once
// What a table read from a chip list must survive: built into a chip list again it reads back the
// same, and saved to a file it loads back the same.

#include <bit>

#include "chipdb/ChipListFile.h"
#include "fuzz/FuzzSupport.h"

inline void CheckChipListRoundTrip(double date, std::int32_t version, const chipdb::ChipTable& table)
{
    using namespace chipdb;
    const std::vector<std::uint8_t> built = BuildChipList(date, version, table);
    ChipTable parsed;
    FUZZ_CHECK(ParseChipList(built, parsed).status == ChipListStatus::Ok);
    FUZZ_CHECK(BuildChipList(date, version, parsed) == built);

    static const ScratchFile scratch("ChipList.dat");
    ChipListSaver saver(scratch.path());
    FUZZ_CHECK(saver.open() && saver.write(date, version, table) == 0);
    ChipTable loaded;
    const ChipListLoad load = LoadChipList(scratch.path(), loaded);
    FUZZ_CHECK(load.status == ChipListStatus::Ok && load.version == version);
    FUZZ_CHECK(std::bit_cast<std::uint64_t>(load.date) == std::bit_cast<std::uint64_t>(date));
    FUZZ_CHECK(BuildChipList(load.date, load.version, loaded) == built);
}
