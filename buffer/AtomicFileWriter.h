#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>
#include <system_error>

// Writes a file so that the target is either its old self or the complete new contents: the
// bytes go to a temporary file in the target's folder, which is flushed to disk and renamed over
// the target by Commit(). Without a successful Commit() the temporary file is removed.
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
    void Fail(int errnoValue);
    void Discard();

    std::filesystem::path target_;
    std::filesystem::path temporary_;
    int fd_ = -1;
    std::error_code error_;
};

// Writes the given pieces, one after another, as the new contents of `target`.
std::error_code WriteFileAtomically(const std::filesystem::path& target,
                                    std::initializer_list<std::span<const std::uint8_t>> pieces);
