#include "buffer/InputFile.h"

#include <sys/types.h>

InputFile::InputFile(const std::filesystem::path& path) : file_(std::fopen(path.c_str(), "rb"))
{
    // A folder opens on Linux but cannot be read; treat it like a file that cannot be opened.
    if (file_ && std::filesystem::is_directory(path)) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

InputFile::~InputFile()
{
    if (file_)
        std::fclose(file_);
}

std::size_t InputFile::Read(std::span<std::uint8_t> destination)
{
    std::size_t total = 0;
    while (total < destination.size()) {
        const std::size_t got = std::fread(destination.data() + total, 1, destination.size() - total, file_);
        if (got == 0)
            break;
        total += got;
    }
    return total;
}

bool InputFile::Seek(std::uint64_t offset)
{
    return fseeko(file_, static_cast<off_t>(offset), SEEK_SET) == 0;
}

std::optional<std::uint64_t> InputFile::Size()
{
    const off_t here = ftello(file_);
    if (here < 0 || fseeko(file_, 0, SEEK_END) != 0)
        return std::nullopt;
    const off_t end = ftello(file_);
    fseeko(file_, here, SEEK_SET);
    if (end < 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(end);
}
