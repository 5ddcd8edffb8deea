#include "spi25/SmartWritePlan.h"

#include "chipdb/ChipKind.h"

#include <algorithm>
#include <string_view>

namespace {

bool AllFF(std::span<const uint8_t> bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b == 0xFF; });
}

// Some bit is 0 on the chip and 1 in the target: programming cannot make it so.
bool NeedsErase(std::span<const uint8_t> chip, std::span<const uint8_t> target)
{
    for (std::size_t i = 0; i < chip.size(); ++i)
        if (uint8_t(target[i] & ~chip[i]) != 0) return true;
    return false;
}

void Touch(std::vector<SmartWriteRange>& ranges, uint32_t address, uint32_t length)
{
    if (!ranges.empty() && ranges.back().address + ranges.back().length >= address) {
        SmartWriteRange& last = ranges.back();
        last.length = std::max(last.address + last.length, address + length) - last.address;
        return;
    }
    ranges.push_back({address, length});
}

} // namespace

SmartWritePlan PlanSmartWrite(std::span<const uint8_t> chip, std::span<const uint8_t> target,
                              const SmartWriteGeometry& geometry)
{
    SmartWritePlan plan;
    const uint32_t unit = geometry.programUnit;
    const uint32_t units = unit == 0 ? 0 : geometry.size / unit;
    const uint32_t span = units * unit; // the bytes a write reaches
    // An erase block holds whole units; with no erase every unit is a block of its own.
    const uint32_t block = geometry.eraseBlock == 0 ? unit : geometry.eraseBlock;
    if (units == 0 || chip.size() < span || target.size() < span || block % unit != 0 ||
        (geometry.eraseBlock != 0 && geometry.size % block != 0))
        return plan;

    auto add = [&plan](SmartWriteStep::Kind kind, uint32_t address, uint32_t length) {
        plan.steps.push_back({kind, address, length});
        Touch(plan.touched, address, length);
        ++(kind == SmartWriteStep::Kind::Erase ? plan.erases : plan.programs);
    };
    for (uint32_t start = 0; start < span; start += block) {
        const uint32_t end = std::min(start + block, span);
        const bool erase = geometry.eraseBlock != 0 &&
                           NeedsErase(chip.subspan(start, end - start), target.subspan(start, end - start));
        if (erase) add(SmartWriteStep::Kind::Erase, start, block);
        for (uint32_t address = start; address < end; address += unit) {
            const auto wanted = target.subspan(address, unit);
            const bool differs = !std::equal(wanted.begin(), wanted.end(), chip.begin() + address);
            if (erase ? !AllFF(wanted) : differs) add(SmartWriteStep::Kind::Program, address, unit);
        }
    }
    return plan;
}

SmartWriteGeometry SpiSmartWriteGeometry(std::string_view kind, uint32_t size, uint32_t pageSize)
{
    SmartWriteGeometry geometry;
    geometry.size = size;
    const chipdb::SpiProgramming programming = chipdb::spiProgrammingOf(kind);
    geometry.programUnit = programming == chipdb::SpiProgramming::AutoIncrementWord ? 256
                           : programming == chipdb::SpiProgramming::Page            ? pageSize
                                                                                    : 0;
    if (chipdb::hasChipErase(kind))
        geometry.eraseBlock = size >= SmartWriteSector && size % SmartWriteSector == 0 ? SmartWriteSector : size;
    return geometry;
}

SmartWriteGeometry SmartWriteGeometryOf(const chipdb::Chip& chip)
{
    SmartWriteGeometry geometry;
    geometry.size = chip.size;
    geometry.programUnit = chip.writeMethod == chipdb::SpiWriteMethod::AaiWord ? 256
                           : chip.writeMethod == chipdb::SpiWriteMethod::Page  ? chip.pageSize
                                                                               : 0;
    if (chip.hasChipErase)
        geometry.eraseBlock =
            chip.size >= SmartWriteSector && chip.size % SmartWriteSector == 0 ? SmartWriteSector : chip.size;
    return geometry;
}
