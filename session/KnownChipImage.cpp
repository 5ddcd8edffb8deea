#include "session/KnownChipImage.h"

namespace {
bool SameChip(const chipdb::SelectedChip& a, const chipdb::SelectedChip& b)
{
    return a.ChipName == b.ChipName && a.ChipKind == b.ChipKind && a.ChipSize == b.ChipSize && a.PageSize == b.PageSize;
}
} // namespace

void KnownChipImage::remember(const chipdb::SelectedChip& chip, const std::shared_ptr<Ch341Library>& adapter,
                              std::span<const uint8_t> bytes)
{
    remember(chip, adapter, std::make_shared<std::vector<uint8_t>>(bytes.begin(), bytes.end()));
}

void KnownChipImage::remember(const chipdb::SelectedChip& chip, const std::shared_ptr<Ch341Library>& adapter,
                              std::shared_ptr<std::vector<uint8_t>> bytes)
{
    bytes_ = std::move(bytes);
    chip_ = chip;
    adapter_ = adapter;
}

std::shared_ptr<std::vector<uint8_t>> KnownChipImage::take(const chipdb::SelectedChip& chip,
                                                           const std::shared_ptr<Ch341Library>& adapter)
{
    std::shared_ptr<std::vector<uint8_t>> bytes = std::move(bytes_);
    const bool holds =
        bytes && adapter && adapter_.lock() == adapter && SameChip(chip_, chip) && bytes->size() >= chip.ChipSize;
    return holds ? bytes : nullptr;
}
