#include "adapter/emulator/ChipMemory.h"

#include "fileio/AtomicFileWriter.h"

#include <fstream>
#include <system_error>

ChipMemory::ChipMemory(std::size_t size, std::filesystem::path imageFile)
    : cells_(size, 0xFF), imageFile_(std::move(imageFile))
{
    if (imageFile_.empty()) return;
    std::error_code error;
    if (!std::filesystem::exists(imageFile_, error)) return;
    std::ifstream in(imageFile_, std::ios::binary);
    if (!in) {
        loaded_ = false;
        return;
    }
    in.read(reinterpret_cast<char*>(cells_.data()), static_cast<std::streamsize>(cells_.size()));
    loaded_ = !in.bad();
}

bool ChipMemory::flush()
{
    if (imageFile_.empty() || !changed_) return true;
    if (fileio::WriteFileAtomically(imageFile_, {cells_})) return false;
    changed_ = false;
    return true;
}
