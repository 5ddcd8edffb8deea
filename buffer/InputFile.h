#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <span>

// A file opened for reading, closed when it goes out of scope.
class InputFile {
public:
    explicit InputFile(const std::filesystem::path& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    bool isOpen() const { return file_ != nullptr; }

    // Reads until `destination` is full or the file ends; returns the number of bytes read.
    std::size_t Read(std::span<std::uint8_t> destination);
    bool Seek(std::uint64_t offset);
    // The file's size, or nothing for a stream that cannot seek.
    std::optional<std::uint64_t> Size();

private:
    std::FILE* file_;
};
