#include "fileio/InputFile.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "fileio/FileError.h"

namespace fileio {
namespace {

std::error_code LastError()
{
    return {errno, std::generic_category()};
}

} // namespace

InputFile::InputFile(const std::filesystem::path& path)
{
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) {
        error_ = LastError();
        return;
    }
    if (!S_ISREG(info.st_mode)) {
        error_ = FileError::NotRegularFile;
        return;
    }
    // O_NONBLOCK: should a FIFO have taken the file's place since the check, opening it must
    // not wait for a writer.
    fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) {
        error_ = LastError();
        return;
    }
    if (::fstat(fd_, &info) != 0)
        error_ = LastError();
    else if (!S_ISREG(info.st_mode))
        error_ = FileError::NotRegularFile;
    if (error_) {
        ::close(fd_);
        fd_ = -1;
        return;
    }
    // A regular file reads the same either way; blocking reads keep a locked file from
    // reporting EAGAIN.
    ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
    size_ = static_cast<std::uint64_t>(info.st_size);
}

InputFile::~InputFile()
{
    if (fd_ >= 0) ::close(fd_);
}

std::size_t InputFile::Read(std::span<std::uint8_t> destination)
{
    std::size_t total = 0;
    while (fd_ >= 0 && !error_ && total < destination.size()) {
        const ssize_t got = ::read(fd_, destination.data() + total, destination.size() - total);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) error_ = LastError();
        if (got <= 0) break;
        total += static_cast<std::size_t>(got);
    }
    return total;
}

bool InputFile::Seek(std::uint64_t offset)
{
    if (fd_ < 0 || error_) return false;
    if (::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0) error_ = LastError();
    return !error_;
}

} // namespace fileio
