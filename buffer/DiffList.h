#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "text/TextPair.h"

// One difference between the EditBuffer and the chip image.
struct ErrStruct {
    std::int32_t address; // byte offset in both buffers
    std::int32_t number;  // 0-based position in the list
};

// The differences of a compare, in ascending address order. Only the addresses are stored
// (4 bytes each): a number is its position, so a chip where every byte differs costs 4 bytes per byte.
class DiffList {
public:
    // Replaces the list by the offsets where `buffer` and `device` differ, over their common length.
    void Build(std::span<const std::uint8_t> buffer, std::span<const std::uint8_t> device);

    // Empties the list and releases its memory.
    void Clear();

    std::size_t size() const { return addresses_.size(); }
    bool empty() const { return addresses_.empty(); }
    std::uint32_t address(std::size_t index) const { return addresses_[index]; }
    ErrStruct operator[](std::size_t index) const
    {
        return {static_cast<std::int32_t>(addresses_[index]), static_cast<std::int32_t>(index)};
    }

private:
    std::vector<std::uint32_t> addresses_;
};

// Navy log line of the compare step: "Differences " / "Несовпадений " + count in decimal.
TextPair DifferencesText(std::size_t count);
