#pragma once

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <span>
#include <string_view>
#include <system_error>

namespace fileio {

// Writes a file so that the target is either its old self or the complete new contents: the
// bytes go to a temporary file in the target's folder, which is flushed to disk and renamed over
// the target by Commit(). Without a successful Commit() the temporary file is removed.
//
// Every saver treats an existing target the same way: a read-only file (no write permission, or
// no write bit at all, which keeps even root from replacing it) is refused with EACCES, and a
// folder, FIFO or device with FileError::NotRegularFile, before anything is written. A symbolic
// link is followed: the file it names is replaced and the link stays. Errors carry the system's
// errno, so their message names the cause.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(std::filesystem::path target);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Each returns false once any step has failed; later writes do nothing.
    bool Write(std::span<const std::uint8_t> bytes);
    bool Write(std::string_view text);

    // Flushes, closes and renames; returns the first error of the whole write, if any.
    std::error_code Commit();

    std::error_code error() const { return error_; }

private:
    void Open();
    void Fail(std::error_code error);
    void Discard();

    std::filesystem::path target_;
    std::filesystem::path temporary_;
    int fd_ = -1;
    std::error_code error_;
};

// Writes the given pieces, one after another, as the new contents of `target`.
std::error_code WriteFileAtomically(const std::filesystem::path& target,
                                    std::initializer_list<std::span<const std::uint8_t>> pieces);

} // namespace fileio
