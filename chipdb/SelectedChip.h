#pragma once
// The chip every operation works on, copied from a table row when a chip is selected.

#include <cstdint>
#include <string>

namespace chipdb {

inline constexpr const char* kDefaultChipName = "24C01"; // settings [Chip] Type when missing

struct SelectedChip {
    std::string ChipName = kDefaultChipName; // before the first selection: the saved name
    std::string ChipKind;
    std::uint32_t ChipSize = 352;
    int PageSize = 0;
    int StatusRegCount = 1;
};

} // namespace chipdb
