#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <system_error>

namespace fileio {

// A regular file opened for reading, closed when it goes out of scope. Anything else (a folder,
// a FIFO, a device, a socket) is refused with FileError::NotRegularFile before it is opened in a
// way that could block: the path is checked first, opened without waiting, and the opened
// descriptor checked again in case the path changed in between.
class InputFile {
public:
    explicit InputFile(const std::filesystem::path& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    // Why the file could not be opened, or the first read or seek error; empty while all is well.
    std::error_code error() const { return error_; }

    // Reads until `destination` is full, the file ends or a read fails (see error()); returns the
    // number of bytes read.
    std::size_t Read(std::span<std::uint8_t> destination);
    bool Seek(std::uint64_t offset);
    // The file's size when it was opened.
    std::uint64_t Size() const { return size_; }

private:
    int fd_ = -1;
    std::uint64_t size_ = 0;
    std::error_code error_;
};

} // namespace fileio
