#pragma once
// What every fuzz target shares: the entry point, a property check that fails loudly, and a file
// of its own for the inputs that must come from disk.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>

#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

// A broken property is a finding like a crash: the fuzzer keeps the input, the regression run fails.
#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition);                      \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)

// This process's scratch file `name`, in memory where the system offers it, so that writing (and
// syncing) an input costs next to nothing; removed when the process ends normally.
class ScratchFile {
public:
    explicit ScratchFile(const std::string& name)
    {
        std::error_code error;
        const std::filesystem::path shm = "/dev/shm";
        const auto folder = std::filesystem::is_directory(shm, error) ? shm : std::filesystem::temp_directory_path();
        path_ = folder / ("vespera-fuzz-" + std::to_string(::getpid()) + "-" + name);
    }
    ~ScratchFile()
    {
        std::error_code error;
        std::filesystem::remove(path_, error);
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::filesystem::path& path() const { return path_; }
    void Write(std::span<const std::uint8_t> bytes) const
    {
        std::ofstream(path_, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

private:
    std::filesystem::path path_;
};
