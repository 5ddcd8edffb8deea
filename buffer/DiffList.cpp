#include "buffer/DiffList.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>

namespace {

// Equal blocks are skipped by memcmp; only a block that differs is searched word by word.
constexpr std::size_t kBlock = 256;

void AppendDifferences(const std::uint8_t* a, const std::uint8_t* b, std::size_t base, std::size_t length,
                       std::vector<std::uint32_t>& out)
{
    std::size_t i = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; i + 8 <= length; i += 8) {
            std::uint64_t x, y;
            std::memcpy(&x, a + i, 8);
            std::memcpy(&y, b + i, 8);
            for (std::uint64_t diff = x ^ y; diff != 0;) {
                const unsigned byte = static_cast<unsigned>(std::countr_zero(diff)) / 8;
                out.push_back(static_cast<std::uint32_t>(base + i + byte));
                diff &= ~(std::uint64_t{0xFF} << (byte * 8));
            }
        }
    }
    for (; i < length; ++i)
        if (a[i] != b[i]) out.push_back(static_cast<std::uint32_t>(base + i));
}

} // namespace

void DiffList::Build(std::span<const std::uint8_t> buffer, std::span<const std::uint8_t> device)
{
    addresses_.clear();
    const std::size_t n = std::min(buffer.size(), device.size());
    const std::uint8_t* a = buffer.data();
    const std::uint8_t* b = device.data();
    std::size_t i = 0;
    for (; i + kBlock <= n; i += kBlock)
        if (std::memcmp(a + i, b + i, kBlock) != 0) AppendDifferences(a + i, b + i, i, kBlock, addresses_);
    AppendDifferences(a + i, b + i, i, n - i, addresses_);
}

void DiffList::Clear()
{
    std::vector<std::uint32_t>().swap(addresses_);
}

TextPair DifferencesText(std::size_t count)
{
    const std::string n = std::to_string(count);
    return {"Differences " + n, "Несовпадений " + n};
}
