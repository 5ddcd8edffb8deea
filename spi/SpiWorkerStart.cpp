#include "spi/SpiWorkers.h"

#include "adapter/Uch_spi.h"

namespace {

std::shared_ptr<WorkerParams> Params(const chipdb::SelectedChip& chip, bool pageAndKind)
{
    auto params = std::make_shared<WorkerParams>();
    params->size = chip.ChipSize;
    if (pageAndKind) {
        params->pageSize = SpiPageSizeUsable(chip.PageSize) ? static_cast<uint16_t>(chip.PageSize) : 0;
        params->chipText = chip.ChipKind;
    }
    return params;
}

} // namespace

WorkerBody SpiReadWorker(Ch341Library& library)
{
    return [&library](const WorkerParams& params, WorkerContext& context) { SPIReadThread(library, params, context); };
}

WorkerBody SpiWriteWorker(Ch341Library& library)
{
    return [&library](const WorkerParams& params, WorkerContext& context) { SPIWriteThread(library, params, context); };
}

WorkerBody SpiSstWorker(Ch341Library& library)
{
    return [&library](const WorkerParams& params, WorkerContext& context) {
        SPIWriteSSTThread(library, params, context);
    };
}

WorkerBody SpiEraseWorker(Ch341Library& library, std::optional<std::chrono::milliseconds> limit)
{
    return [&library, limit](const WorkerParams& params, WorkerContext& context) {
        SPIEraseThread(library, limit.value_or(SpiEraseTimeout(params.size)), context);
    };
}

std::shared_ptr<WorkerParams> SpiReadParams(const chipdb::SelectedChip& chip) { return Params(chip, true); }
std::shared_ptr<WorkerParams> SpiWriteParams(const chipdb::SelectedChip& chip) { return Params(chip, true); }
std::shared_ptr<WorkerParams> SpiSstParams(const chipdb::SelectedChip& chip) { return Params(chip, false); }
std::shared_ptr<WorkerParams> SpiEraseParams(const chipdb::SelectedChip& chip) { return Params(chip, false); }
