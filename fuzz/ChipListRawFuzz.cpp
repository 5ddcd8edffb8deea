// ChipList.dat as it lies on disk (a zlib stream) on any bytes, through the program's loader: a
// defined status, an empty table unless all is sound, and a sound table survives a save and a
// reload.

#include "fuzz/ChipListRoundTrip.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const ScratchFile input("input.dat");
    input.Write(std::span(data, size));
    chipdb::ChipTable table;
    const chipdb::ChipListLoad load = chipdb::LoadChipList(input.path(), table);
    if (load.status != chipdb::ChipListStatus::Ok) {
        FUZZ_CHECK(table.rows().empty());
        FUZZ_CHECK(load.status != chipdb::ChipListStatus::ZlibError || load.zlibCode != 0);
        return 0;
    }
    CheckChipListRoundTrip(load.date, load.version, table);
    return 0;
}
