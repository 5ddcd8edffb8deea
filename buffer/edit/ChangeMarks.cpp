#include "buffer/edit/ChangeMarks.h"

#include <algorithm>

void ChangeMarks::reset(std::size_t size)
{
    size_ = size;
    words_.assign((size + 63) / 64, 0);
}

void ChangeMarks::set(std::size_t offset, bool marked)
{
    if (offset >= size_) return;
    const std::uint64_t bit = std::uint64_t{1} << (offset & 63);
    if (marked)
        words_[offset >> 6] |= bit;
    else
        words_[offset >> 6] &= ~bit;
}

void ChangeMarks::setRange(std::size_t offset, std::size_t count)
{
    const std::size_t end = offset + std::min(count, size_ - std::min(offset, size_));
    for (std::size_t i = offset; i < end && (i & 63) != 0; ++i) set(i, true);
    std::size_t i = (offset + 63) & ~std::size_t{63};
    for (; i + 64 <= end; i += 64) words_[i >> 6] = ~std::uint64_t{0};
    for (i = std::max(i, offset); i < end; ++i) set(i, true);
}
