#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// One bit per buffer byte: set while the byte differs from what the last load put there.
// The 64 MiB of the largest chip need 8 MiB of marks, so resetting them on a load stays cheap.
class ChangeMarks {
public:
    void reset(std::size_t size);
    bool test(std::size_t offset) const { return offset < size_ && (words_[offset >> 6] >> (offset & 63) & 1U) != 0; }
    void set(std::size_t offset, bool marked);
    void setRange(std::size_t offset, std::size_t count);

private:
    std::vector<std::uint64_t> words_;
    std::size_t size_ = 0;
};
