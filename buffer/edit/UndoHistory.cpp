#include "buffer/edit/UndoHistory.h"

namespace {
// A history that grew past this (a large fill, say) gives its memory back when cleared.
constexpr std::size_t kKeptPoolCapacity = std::size_t{1} << 20;

void releaseIfLarge(std::vector<std::uint8_t>& pool)
{
    pool.clear();
    if (pool.capacity() > kKeptPoolCapacity) pool.shrink_to_fit();
}
} // namespace

void UndoHistory::clear()
{
    records_.clear();
    releaseIfLarge(oldBytes_);
    releaseIfLarge(oldMarks_);
}

void UndoHistory::record(std::size_t offset, std::span<const std::uint8_t> oldBytes,
                         std::span<const std::uint8_t> oldMarks)
{
    records_.push_back({offset, oldBytes.size(), oldBytes_.size()});
    oldBytes_.insert(oldBytes_.end(), oldBytes.begin(), oldBytes.end());
    oldMarks_.insert(oldMarks_.end(), oldMarks.begin(), oldMarks.end());
}

bool UndoHistory::lastIsSingleByteAt(std::size_t offset) const
{
    return !records_.empty() && records_.back().count == 1 && records_.back().offset == offset;
}

UndoHistory::Step UndoHistory::last() const
{
    const Record& r = records_.back();
    return {r.offset, std::span(oldBytes_).subspan(r.poolStart, r.count),
            std::span(oldMarks_).subspan(r.poolStart, r.count)};
}

void UndoHistory::pop()
{
    const std::size_t poolStart = records_.back().poolStart;
    records_.pop_back();
    oldBytes_.resize(poolStart);
    oldMarks_.resize(poolStart);
}
