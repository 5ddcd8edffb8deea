// The start-up load of the shipped chip database: ChipList.dat inflated, parsed into the chip
// table and ordered by name, as the main window does it once per run.
#include <benchmark/benchmark.h>

#include "chipdb/ChipListFile.h"

namespace {

void LoadShippedChipList(benchmark::State& state)
{
    std::size_t rows = 0;
    for (auto _ : state) {
        chipdb::ChipTable table;
        const chipdb::ChipListLoad load = chipdb::LoadChipList(VESPERA_CHIPLIST_DAT, table);
        if (load.status != chipdb::ChipListStatus::Ok) {
            state.SkipWithError("ChipList.dat did not load");
            return;
        }
        rows = table.rows().size();
        benchmark::DoNotOptimize(table);
    }
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(LoadShippedChipList)->Unit(benchmark::kMicrosecond);

} // namespace
