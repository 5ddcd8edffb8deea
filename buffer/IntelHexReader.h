#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>

// Intel HEX input into a 32 MiB image (addresses 0 to 0x1FFFFFF). The first address record of
// the file (02 segment or 04 linear) fixes the addressing; later records of the other kind are
// ignored. Record checksums are not checked. Lines longer than 254 characters are split at 255
// characters, as a line reader with a 255-character buffer does.
enum class HexRead {
    Complete,    // read to the end; the image went to the destination
    CannotOpen,  // destination unchanged
    Abandoned,   // a line without ':' before the end record, or an empty data record; destination unchanged
};

struct HexReadResult {
    HexRead result = HexRead::Complete;
    // Bytes copied to the destination from offset 0: the highest stored address + 1 (bytes that no
    // record set below it are 0xFF), or 0 when no data record was stored.
    std::size_t bytesCopied = 0;
    // Data records outside the image (each also noted on the standard error stream).
    std::size_t recordsSkipped = 0;
};

inline constexpr std::size_t kHexImageSize = 0x2000000;

// Reads HEX text fed in pieces of any size, then hands the image to the destination.
class HexReader {
public:
    HexReader();
    ~HexReader();

    void Feed(std::string_view text);
    // True once the file is abandoned; further text need not be fed.
    bool abandoned() const { return abandoned_; }
    HexReadResult Finish(std::span<std::uint8_t> destination);

private:
    void AppendToLine(std::string_view text);
    void EndLine(std::string_view line, bool lineEndSeen);
    void Piece(std::string_view piece);
    void DataRecord(std::string_view data);
    std::uint8_t* ImageUpTo(std::uint64_t end);

    std::string partialLine_;
    bool abandoned_ = false;
    bool endRecordSeen_ = false;
    enum class Addressing { None, Segment, Linear } addressing_ = Addressing::None;
    unsigned count_ = 0, offset_ = 0, type_ = 0;
    unsigned segmentBase_ = 0, upperLinear_ = 0;
    std::unique_ptr<std::uint8_t[]> image_;
    std::uint64_t imageFilled_ = 0;  // image bytes below this are set (0xFF or data)
    std::uint64_t highest_ = 0;
    bool dataStored_ = false;
    std::size_t recordsSkipped_ = 0;
};

HexReadResult ReadHex(std::string_view text, std::span<std::uint8_t> destination);
HexReadResult ReadHexFile(const std::filesystem::path& path, std::span<std::uint8_t> destination);
