#pragma once

#include <cstddef>
#include <string>

// Offset <-> row/column arithmetic of a buffer shown 16 bytes a row, and the offset notation.
class HexGrid {
public:
    static constexpr std::size_t kBytesPerRow = 16;

    explicit HexGrid(std::size_t size = 0) : size_(size) {}

    std::size_t size() const { return size_; }
    std::size_t rowCount() const { return (size_ + kBytesPerRow - 1) / kBytesPerRow; }
    static std::size_t rowOf(std::size_t offset) { return offset / kBytesPerRow; }
    static std::size_t columnOf(std::size_t offset) { return offset % kBytesPerRow; }
    static std::size_t offsetOf(std::size_t row, std::size_t column) { return row * kBytesPerRow + column; }

    // The nearest valid byte offset (0 for an empty buffer).
    std::size_t clamp(std::size_t offset) const { return size_ == 0 ? 0 : (offset < size_ ? offset : size_ - 1); }
    // Offset of the byte at (row, column), pulled back onto the last byte when past the end.
    std::size_t clampedOffsetOf(std::size_t row, std::size_t column) const { return clamp(offsetOf(row, column)); }

    // Hexadecimal digits the offsets of this buffer are printed with: even, at least 4.
    int offsetDigits() const;
    // "0x" followed by the offset in upper-case hexadecimal, offsetDigits() wide.
    std::string offsetText(std::size_t offset) const;

private:
    std::size_t size_;
};
