#include "adapter/emulator/ChipStateFile.h"

#include "fileio/AtomicFileWriter.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace {
constexpr std::size_t MaxLine = 256;
constexpr std::string_view Key = "status=";
} // namespace

std::filesystem::path ChipStatePath(const std::filesystem::path& imageFile)
{
    std::filesystem::path state = imageFile;
    state += ".state";
    return state;
}

std::optional<std::array<uint8_t, 3>> LoadChipState(const std::filesystem::path& stateFile)
{
    std::ifstream in(stateFile);
    std::string line;
    while (in && line.size() <= MaxLine && std::getline(in, line)) {
        if (line.rfind(Key, 0) != 0) continue;
        unsigned values[3];
        char end = 0;
        if (line.size() > MaxLine ||
            std::sscanf(line.c_str() + Key.size(), "%2x %2x %2x%c", &values[0], &values[1], &values[2], &end) != 3)
            return std::nullopt;
        return std::array<uint8_t, 3>{uint8_t(values[0]), uint8_t(values[1]), uint8_t(values[2])};
    }
    return std::nullopt;
}

bool SaveChipState(const std::filesystem::path& stateFile, const std::array<uint8_t, 3>& status)
{
    char text[96];
    const int length = std::snprintf(text, sizeof text,
                                     "# Vespera emulated chip: status registers kept without power\n"
                                     "status=%02X %02X %02X\n",
                                     status[0], status[1], status[2]);
    return !fileio::WriteFileAtomically(
        stateFile, {std::span(reinterpret_cast<const uint8_t*>(text), static_cast<std::size_t>(length))});
}
