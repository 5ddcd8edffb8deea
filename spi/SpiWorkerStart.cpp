#include "spi/SpiWorkers.h"

#include "adapter/Uch_spi.h"

namespace {

std::shared_ptr<WorkerParams> Params(const chipdb::SelectedChip& chip, std::span<uint8_t> buffer, bool pageAndKind)
{
    if (chip.ChipSize > buffer.size()) return nullptr;
    auto params = std::make_shared<WorkerParams>();
    params->size = chip.ChipSize;
    params->buffer = buffer.data();
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
    return
        [&library](const WorkerParams& params, WorkerContext& context) { SPIWriteSSTThread(library, params, context); };
}

WorkerBody SpiEraseWorker(Ch341Library& library, std::optional<std::chrono::milliseconds> limit)
{
    return [&library, limit](const WorkerParams& params, WorkerContext& context) {
        SPIEraseThread(library, limit.value_or(SpiEraseTimeout(params.size)), context);
    };
}

std::shared_ptr<WorkerParams> SpiReadParams(const chipdb::SelectedChip& chip, std::span<uint8_t> buffer)
{
    return Params(chip, buffer, true);
}
std::shared_ptr<WorkerParams> SpiWriteParams(const chipdb::SelectedChip& chip, std::span<uint8_t> buffer)
{
    return Params(chip, buffer, true);
}
std::shared_ptr<WorkerParams> SpiSstParams(const chipdb::SelectedChip& chip, std::span<uint8_t> buffer)
{
    return Params(chip, buffer, false);
}
std::shared_ptr<WorkerParams> SpiEraseParams(const chipdb::SelectedChip& chip)
{
    auto params = std::make_shared<WorkerParams>();
    params->size = chip.ChipSize;
    return params;
}
