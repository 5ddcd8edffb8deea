// The inflated content of ChipList.dat (header and table image) on any bytes: the table is empty
// unless the content is sound, and a sound table survives a save and a reload.

#include "fuzz/ChipListRoundTrip.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    chipdb::ChipTable table;
    const chipdb::ChipListLoad load = chipdb::ParseChipList(std::span(data, size), table);
    if (load.status != chipdb::ChipListStatus::Ok) {
        FUZZ_CHECK(table.rows().empty());
        return 0;
    }
    CheckChipListRoundTrip(load.date, load.version, table);
    return 0;
}
