#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// Undo steps as change records: each keeps the offset, the bytes it overwrote and their former
// change marks. The old bytes of all steps share one pool, so recording a keystroke allocates
// nothing once the pool has grown, and no step ever copies the whole buffer.
class UndoHistory {
public:
    struct Step {
        std::size_t offset;
        std::span<const std::uint8_t> oldBytes;
        std::span<const std::uint8_t> oldMarks; // 0 or 1 per byte
    };

    bool empty() const { return records_.empty(); }
    void clear();

    // Records that [offset, offset + oldBytes.size()) is about to be overwritten.
    void record(std::size_t offset, std::span<const std::uint8_t> oldBytes, std::span<const std::uint8_t> oldMarks);
    // Whether the newest step covers exactly the single byte at offset (a second nibble of one
    // byte then joins that step instead of adding another).
    bool lastIsSingleByteAt(std::size_t offset) const;

    // The newest step; valid until the next pop() or record().
    Step last() const;
    void pop();

private:
    struct Record {
        std::size_t offset;
        std::size_t count;
        std::size_t poolStart;
    };
    std::vector<Record> records_;
    std::vector<std::uint8_t> oldBytes_;
    std::vector<std::uint8_t> oldMarks_;
};
