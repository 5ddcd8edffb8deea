#include "i2c/IICCommands.h"

#include "chipdb/ChipKind.h"
#include "i2c/IICReadThread.h"
#include "i2c/IICWriteThread.h"

#include <limits>

uint8_t EepromTypeOf(const chipdb::SelectedChip& chip)
{
    return static_cast<uint8_t>(chipdb::eepromTypeOf(chip.ChipKind));
}

bool IICPageSizeUsable(int pageSize)
{
    return pageSize > 0 && pageSize <= std::numeric_limits<uint16_t>::max();
}

uint32_t IICReadSteps(uint32_t chipSize)
{
    return chipSize / IICReadBlock;
}

uint32_t IICWriteSteps(uint32_t chipSize, int pageSize)
{
    if (!IICPageSizeUsable(pageSize)) return 0;
    const auto page = static_cast<uint32_t>(pageSize);
    return chipSize / page + (chipSize % page != 0 ? 1 : 0);
}

std::optional<WorkerParams> MakeIICReadParams(const chipdb::SelectedChip& chip, std::span<uint8_t> buffer)
{
    if (chip.ChipSize > buffer.size()) return std::nullopt;
    WorkerParams params;
    params.size = chip.ChipSize;
    params.chipText = chip.ChipName;
    params.type = EepromTypeOf(chip);
    params.buffer = buffer.data();
    return params;
}

std::optional<WorkerParams> MakeIICWriteParams(const chipdb::SelectedChip& chip, std::span<uint8_t> buffer)
{
    auto params = MakeIICReadParams(chip, buffer);
    if (!params || !IICPageSizeUsable(chip.PageSize)) return std::nullopt;
    params->pageSize = static_cast<uint16_t>(chip.PageSize);
    return params;
}
