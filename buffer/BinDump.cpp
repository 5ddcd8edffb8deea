#include "buffer/BinDump.h"

#include <algorithm>
#include <cstring>

#include "fileio/AtomicFileWriter.h"
#include "fileio/InputFile.h"

namespace {

constexpr std::size_t kRegisterCount = 3;

// `tail` holds the file's last three bytes, or is empty when the file is shorter.
DumpLoad BinResult(std::size_t bytesLoaded, std::span<const std::uint8_t> tail, bool brg, std::size_t chipSize)
{
    DumpLoad load = DumpLoad::Loaded(bytesLoaded, brg ? chipSize + kRegisterCount : chipSize);
    if (brg && tail.size() == kRegisterCount)
        load.statusRegisters = std::array<std::uint8_t, 3>{tail[0], tail[1], tail[2]};
    return load;
}

} // namespace

DumpLoad LoadBin(std::span<const std::uint8_t> file, std::string_view extension, std::span<std::uint8_t> destination,
                 std::size_t chipSize)
{
    const std::size_t n = std::min(file.size(), destination.size());
    std::copy_n(file.begin(), n, destination.begin());
    const auto tail = file.size() >= kRegisterCount ? file.last(kRegisterCount) : file.first(0);
    return BinResult(n, tail, extension == ".BRG", chipSize);
}

DumpLoad LoadBinFile(const std::filesystem::path& path, std::string_view extension, std::span<std::uint8_t> destination,
                     std::size_t chipSize)
{
    fileio::InputFile file(path);
    if (!file.isOpen()) return DumpLoad::Failed(DumpResult::CannotOpen, file.error());
    const bool brg = extension == ".BRG";
    const std::size_t n = file.Read(destination);
    if (file.error()) return DumpLoad::Failed(DumpResult::ReadError, file.error());

    std::array<std::uint8_t, kRegisterCount> tail{};
    std::span<const std::uint8_t> tailRead;
    if (brg && n < destination.size()) {
        // The whole file was read: its last bytes are at the end of what was read.
        if (n >= kRegisterCount) {
            std::memcpy(tail.data(), destination.data() + n - kRegisterCount, kRegisterCount);
            tailRead = tail;
        }
    } else if (brg) {
        // The file may go on past the destination: fetch its real last three bytes.
        const std::uint64_t size = file.Size();
        if (size >= kRegisterCount && file.Seek(size - kRegisterCount) && file.Read(tail) == kRegisterCount)
            tailRead = tail;
        if (file.error()) return DumpLoad::Failed(DumpResult::ReadError, file.error());
    }
    return BinResult(n, tailRead, brg, chipSize);
}

std::error_code SaveBin(const std::filesystem::path& path, std::span<const std::uint8_t> bytes)
{
    return fileio::WriteFileAtomically(path, {bytes});
}

std::error_code SaveBrg(const std::filesystem::path& path, std::span<const std::uint8_t> data,
                        std::span<const std::uint8_t> registers)
{
    return fileio::WriteFileAtomically(path, {data, registers});
}
