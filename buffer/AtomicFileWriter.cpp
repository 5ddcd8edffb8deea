#include "buffer/AtomicFileWriter.h"

#include <cerrno>
#include <cstdio>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::filesystem::path TemporaryNameFor(const std::filesystem::path& target, unsigned attempt)
{
    static thread_local std::mt19937 random{std::random_device{}()};
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".tmp%08x%u", static_cast<unsigned>(random()), attempt);
    std::filesystem::path name = target;
    name.replace_filename("." + target.filename().string() + suffix);
    return name;
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(std::filesystem::path target) : target_(std::move(target))
{
    for (unsigned attempt = 0; attempt < 16 && fd_ < 0; ++attempt) {
        temporary_ = TemporaryNameFor(target_, attempt);
        fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0 && errno != EEXIST) {
            Fail(errno);
            temporary_.clear();
            return;
        }
    }
    if (fd_ < 0) {
        Fail(EEXIST);
        temporary_.clear();
        return;
    }
    // Replacing a file keeps its permissions; a new file gets the usual 0666 less the umask.
    struct stat existing;
    if (::stat(target_.c_str(), &existing) == 0)
        ::fchmod(fd_, existing.st_mode & 07777);
}

AtomicFileWriter::~AtomicFileWriter()
{
    Discard();
}

void AtomicFileWriter::Fail(int errnoValue)
{
    if (!error_)
        error_ = std::error_code(errnoValue, std::generic_category());
}

void AtomicFileWriter::Discard()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty())
        ::unlink(temporary_.c_str());
    temporary_.clear();
}

bool AtomicFileWriter::Write(std::span<const std::uint8_t> bytes)
{
    const std::uint8_t* p = bytes.data();
    std::size_t left = bytes.size();
    while (!error_ && left > 0) {
        const ssize_t written = ::write(fd_, p, left);
        if (written < 0) {
            if (errno != EINTR)
                Fail(errno);
            continue;
        }
        p += written;
        left -= static_cast<std::size_t>(written);
    }
    return !error_;
}

bool AtomicFileWriter::Write(std::string_view text)
{
    return Write(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

std::error_code AtomicFileWriter::Commit()
{
    if (!error_ && ::fsync(fd_) != 0)
        Fail(errno);
    if (fd_ >= 0 && ::close(fd_) != 0)
        Fail(errno);
    fd_ = -1;
    if (!error_ && ::rename(temporary_.c_str(), target_.c_str()) != 0)
        Fail(errno);
    if (!error_)
        temporary_.clear();
    Discard();
    return error_;
}

std::error_code WriteFileAtomically(const std::filesystem::path& target,
                                    std::initializer_list<std::span<const std::uint8_t>> pieces)
{
    AtomicFileWriter writer(target);
    for (const auto& piece : pieces)
        writer.Write(piece);
    return writer.Commit();
}
