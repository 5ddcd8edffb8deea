#include "fileio/AtomicFileWriter.h"

#include <cerrno>
#include <cstdio>
#include <random>

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

std::filesystem::path TemporaryNameFor(const std::filesystem::path& target, unsigned attempt)
{
    static thread_local std::mt19937 random{std::random_device{}()};
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".tmp%08x%u", static_cast<unsigned>(random()), attempt);
    std::filesystem::path name = target;
    name.replace_filename("." + target.filename().string() + suffix);
    return name;
}

// A link is replaced by way of the file it names, so the link itself survives the rename.
std::filesystem::path FollowLink(const std::filesystem::path& target)
{
    std::error_code error;
    if (!std::filesystem::is_symlink(target, error)) return target;
    const auto resolved = std::filesystem::weakly_canonical(target, error);
    return error ? target : resolved;
}

// Best effort: makes the rename itself durable. Some file systems cannot sync a folder.
void SyncFolder(const std::filesystem::path& file)
{
    const auto folder = file.parent_path();
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

AtomicFileWriter::AtomicFileWriter(std::filesystem::path target) : target_(FollowLink(target))
{
    Open();
}

AtomicFileWriter::~AtomicFileWriter()
{
    Discard();
}

void AtomicFileWriter::Open()
{
    struct stat existing;
    const bool exists = ::stat(target_.c_str(), &existing) == 0;
    if (!exists && errno != ENOENT) return Fail(LastError());
    if (exists && !S_ISREG(existing.st_mode)) return Fail(FileError::NotRegularFile);
    if (exists && ::access(target_.c_str(), W_OK) != 0) return Fail(LastError());
    if (exists && (existing.st_mode & 0222) == 0) return Fail(std::make_error_code(std::errc::permission_denied));

    for (unsigned attempt = 0; attempt < 16 && fd_ < 0; ++attempt) {
        temporary_ = TemporaryNameFor(target_, attempt);
        fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0 && errno != EEXIST) {
            Fail(LastError());
            temporary_.clear();
            return;
        }
    }
    if (fd_ < 0) {
        Fail(std::make_error_code(std::errc::file_exists));
        temporary_.clear();
        return;
    }
    // Replacing a file keeps its permissions; a new file gets the usual 0666 less the umask.
    if (exists) ::fchmod(fd_, existing.st_mode & 07777);
}

void AtomicFileWriter::Fail(std::error_code error)
{
    if (!error_) error_ = error;
}

void AtomicFileWriter::Discard()
{
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
}

bool AtomicFileWriter::Write(std::span<const std::uint8_t> bytes)
{
    const std::uint8_t* p = bytes.data();
    std::size_t left = bytes.size();
    while (!error_ && left > 0) {
        const ssize_t written = ::write(fd_, p, left);
        if (written < 0) {
            if (errno != EINTR) Fail(LastError());
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
    if (!error_ && ::fsync(fd_) != 0) Fail(LastError());
    if (fd_ >= 0 && ::close(fd_) != 0) Fail(LastError());
    fd_ = -1;
    if (!error_ && ::rename(temporary_.c_str(), target_.c_str()) != 0) Fail(LastError());
    if (!error_) {
        temporary_.clear();
        SyncFolder(target_);
    }
    Discard();
    return error_;
}

std::error_code WriteFileAtomically(const std::filesystem::path& target,
                                    std::initializer_list<std::span<const std::uint8_t>> pieces)
{
    AtomicFileWriter writer(target);
    for (const auto& piece : pieces) writer.Write(piece);
    return writer.Commit();
}

} // namespace fileio
