#pragma once
// The part of the array that the status registers protect, by the part's scheme. Every rule of
// the datasheets protects one contiguous range (a complement included, since the complement of
// a range at one end is a range at the other).

#include <cstdint>
#include <optional>

#include "chipdb/protection/ProtectionScheme.h"

namespace chipdb {

struct ProtectedRange {
    std::uint64_t begin = 0, end = 0; // [begin, end)
    // False when the registers say that something is protected but not where (unknown layouts,
    // AT25DF "some sectors", per-block locks): the range is then the whole chip.
    bool exact = true;

    bool empty() const { return begin >= end; }
    bool overlaps(std::uint64_t address, std::uint64_t length) const
    {
        return length != 0 && address < end && address + length > begin;
    }
    bool operator==(const ProtectedRange&) const = default;
};

// `registers`: SR1..SR3 as read; a register the program did not read should hold 0.
ProtectedRange protectedRange(const ProtectionScheme& scheme, std::uint64_t chipSize, const StatusBytes& registers);

// Whether anything is protected. Without the chip size a complemented range counts as something
// protected unless the BP value selects everything by rule (it may cover the whole of a small
// part, which only the size tells).
bool anythingProtected(const ProtectionScheme& scheme, const StatusBytes& registers,
                       std::optional<std::uint64_t> chipSize = std::nullopt);

} // namespace chipdb
