#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// The lowest offset p >= first where pattern matches data[p .. p + size - 1] with
// p + size - 1 <= last (last is clamped to the end of data); -1 when there is none or the pattern
// is empty. ignoreCase compares ASCII letters without regard to case.
std::int64_t FindPattern(std::span<const std::uint8_t> data, std::span<const std::uint8_t> pattern, std::size_t first,
                         std::size_t last, bool ignoreCase);
