#include "session/KnownChipImage.h"

namespace {
bool SameChip(const chipdb::Chip& a, const chipdb::Chip& b)
{
    return a.name == b.name && a.kind == b.kind && a.size == b.size && a.pageSize == b.pageSize;
}
} // namespace

void KnownChipImage::remember(const chipdb::Chip& chip, const std::shared_ptr<bus::Adapter>& adapter,
                              std::span<const uint8_t> bytes)
{
    remember(chip, adapter, std::make_shared<std::vector<uint8_t>>(bytes.begin(), bytes.end()));
}

void KnownChipImage::remember(const chipdb::Chip& chip, const std::shared_ptr<bus::Adapter>& adapter,
                              std::shared_ptr<std::vector<uint8_t>> bytes)
{
    bytes_ = std::move(bytes);
    chip_ = chip;
    adapter_ = adapter;
}

std::shared_ptr<std::vector<uint8_t>> KnownChipImage::take(const chipdb::Chip& chip,
                                                           const std::shared_ptr<bus::Adapter>& adapter)
{
    std::shared_ptr<std::vector<uint8_t>> bytes = std::move(bytes_);
    const bool holds =
        bytes && adapter && adapter_.lock() == adapter && SameChip(chip_, chip) && bytes->size() >= chip.size;
    return holds ? bytes : nullptr;
}
