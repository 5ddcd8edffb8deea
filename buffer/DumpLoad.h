#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <system_error>

enum class DumpResult {
    Loaded,          // the bytes are in the destination
    CannotOpen,      // missing, unreadable or not a regular file (see error); destination unchanged
    ReadError,       // reading failed part-way (see error); the destination may hold part of the file
    IdentifierError, // E2P shorter than its header or not "E2P!Lanc"; destination unchanged
    CrcError,        // E2P header or data CRC wrong; destination unchanged
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
    // CannotOpen and ReadError: the cause, from the system or fileio::FileError.
    std::error_code error;

    static DumpLoad Failed(DumpResult result, std::error_code error = {})
    {
        DumpLoad load;
        load.result = result;
        load.error = error;
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
