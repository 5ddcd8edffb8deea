#include "adapter/emulator/ChipMemory.h"

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

bool WriteFileReplacing(const std::filesystem::path& target, std::span<const uint8_t> bytes)
{
    std::filesystem::path temporary = target;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, target, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    return true;
}

bool ChipMemory::flush()
{
    if (imageFile_.empty() || !changed_) return true;
    if (!WriteFileReplacing(imageFile_, cells_)) return false;
    changed_ = false;
    return true;
}
