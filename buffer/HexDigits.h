#pragma once

#include <array>
#include <cstdint>

// Lookup tables shared by the Intel HEX reader and writer.
namespace hexdigits {

// Upper-case digit pair of each byte value, high digit first.
inline constexpr std::array<std::array<char, 2>, 256> kPairs = [] {
    constexpr char digits[] = "0123456789ABCDEF";
    std::array<std::array<char, 2>, 256> pairs{};
    for (unsigned i = 0; i < 256; ++i) pairs[i] = {digits[i >> 4], digits[i & 15]};
    return pairs;
}();

// Value of a hexadecimal digit character (either case), or -1.
inline constexpr std::array<std::int8_t, 256> kValue = [] {
    std::array<std::int8_t, 256> value{};
    for (unsigned c = 0; c < 256; ++c)
        value[c] = c >= '0' && c <= '9'   ? static_cast<std::int8_t>(c - '0')
                   : c >= 'A' && c <= 'F' ? static_cast<std::int8_t>(c - 'A' + 10)
                   : c >= 'a' && c <= 'f' ? static_cast<std::int8_t>(c - 'a' + 10)
                                          : std::int8_t{-1};
    return value;
}();

} // namespace hexdigits
