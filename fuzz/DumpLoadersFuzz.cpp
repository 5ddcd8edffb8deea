// The BIN, BRG and E2P loaders on any bytes, from memory and from a file: a failed load leaves
// the buffer untouched, a load places exactly the file's bytes, and both ways agree.

#include <algorithm>
#include <vector>

#include "buffer/BinDump.h"
#include "buffer/E2pDump.h"
#include "fuzz/FuzzSupport.h"

namespace {

constexpr std::uint8_t kUntouched = 0xA5;
constexpr std::size_t kChipSize = 256;

bool Untouched(const std::vector<std::uint8_t>& buffer)
{
    return std::all_of(buffer.begin(), buffer.end(), [](auto b) { return b == kUntouched; });
}

bool SameLoad(const DumpLoad& a, const DumpLoad& b)
{
    return a.result == b.result && a.bytesLoaded == b.bytesLoaded && a.expectedSize == b.expectedSize &&
           a.statusRegisters == b.statusRegisters;
}

// The file's bytes are at the start of the buffer, and nothing past them changed.
bool HoldsFileBytes(const std::vector<std::uint8_t>& buffer, std::span<const std::uint8_t> file, const DumpLoad& load)
{
    return load.bytesLoaded == std::min(file.size(), buffer.size()) &&
           std::equal(file.begin(), file.begin() + static_cast<long>(load.bytesLoaded), buffer.begin()) &&
           std::all_of(buffer.begin() + static_cast<long>(load.bytesLoaded), buffer.end(),
                       [](auto b) { return b == kUntouched; });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const ScratchFile scratch("dump");
    static std::vector<std::uint8_t> memory(4096), fromFile(4096);
    const std::span<const std::uint8_t> file(data, size);
    scratch.Write(file);
    const auto& path = scratch.path();

    for (const std::string_view extension : {".BIN", ".BRG"}) {
        std::fill(memory.begin(), memory.end(), kUntouched);
        std::fill(fromFile.begin(), fromFile.end(), kUntouched);
        const DumpLoad load = LoadBin(file, extension, memory, kChipSize);
        FUZZ_CHECK(load.result == DumpResult::Loaded && HoldsFileBytes(memory, file, load));
        FUZZ_CHECK(load.statusRegisters.has_value() == (extension == ".BRG" && size >= 3));
        FUZZ_CHECK(SameLoad(load, LoadBinFile(path, extension, fromFile, kChipSize)) && memory == fromFile);
    }

    std::fill(memory.begin(), memory.end(), kUntouched);
    std::fill(fromFile.begin(), fromFile.end(), kUntouched);
    const DumpLoad load = LoadE2P(file, memory, kChipSize);
    if (load.result == DumpResult::Loaded)
        FUZZ_CHECK(HoldsFileBytes(memory, file.subspan(kE2PHeaderSize), load));
    else
        FUZZ_CHECK(Untouched(memory));
    FUZZ_CHECK(SameLoad(load, LoadE2PFile(path, fromFile, kChipSize)) && memory == fromFile);
    return 0;
}
