#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

enum class DumpResult {
    Loaded,           // the bytes are in the destination
    CannotOpen,       // destination unchanged
    IdentifierError,  // E2P shorter than its header or not "E2P!Lanc"; destination unchanged
    CrcError,         // E2P header or data CRC wrong; destination unchanged
};

// What a dump load did, with the numbers of its log lines.
struct DumpLoad {
    DumpResult result = DumpResult::Loaded;
    // n of the "Loaded file" line: the bytes placed in the destination (cut at its size).
    std::size_t bytesLoaded = 0;
    // ChipSize, or ChipSize + 3 for BRG: the length to reload the EditBuffer with.
    std::size_t expectedSize = 0;
    // BRG files of at least three bytes: status registers 1, 2 and 3 from the file's last bytes.
    std::optional<std::array<std::uint8_t, 3>> statusRegisters;

    static DumpLoad Failed(DumpResult result)
    {
        DumpLoad load;
        load.result = result;
        return load;
    }
    static DumpLoad Loaded(std::size_t bytesLoaded, std::size_t expectedSize)
    {
        DumpLoad load;
        load.bytesLoaded = bytesLoaded;
        load.expectedSize = expectedSize;
        return load;
    }

    // The red "File size differs..." line is due.
    bool sizeDiffers() const { return result == DumpResult::Loaded && bytesLoaded != expectedSize; }
};
