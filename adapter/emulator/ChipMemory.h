#pragma once
// The cells of an emulated chip, optionally kept in an image file: loaded when the chip is
// made and written back (fileio, whole or not at all) by flush() when they changed.

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

class ChipMemory {
public:
    // A missing image file starts the chip erased (0xFF); a shorter one fills the rest with 0xFF
    // and a longer one is cut to the chip size.
    ChipMemory(std::size_t size, std::filesystem::path imageFile = {});

    std::span<uint8_t> bytes() { return cells_; }
    std::span<const uint8_t> bytes() const { return cells_; }
    std::size_t size() const { return cells_.size(); }

    void markChanged() { changed_ = true; }
    // Writes the image file when there is one and the cells changed. False when that fails.
    bool flush();
    // False when an existing image file could not be read.
    bool loaded() const { return loaded_; }

private:
    std::vector<uint8_t> cells_;
    std::filesystem::path imageFile_;
    bool changed_ = false;
    bool loaded_ = true;
};
