#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <system_error>

// Intel HEX input into an image of the largest chip, 64 MiB (addresses 0 to 0x3FFFFFF), so that no
// file can make the reader take more memory than that. An extended segment (02) and an extended
// linear (04) address record both set the base of the data records after them, whichever kind
// came before: objcopy writes 02 records below 1 MiB and 04 records above in one file. Start
// address records (03, 05) are checked and ignored. Every record is checked, its checksum included; the first line that
// is not a sound record fails the whole file. Records are gathered in a scratch image that reaches the destination only
// when the file has been read to its end, so a failed read leaves the destination untouched. After the end record,
// lines that do not start with ':' are tolerated; records there are still read and checked.
enum class HexRead {
    Complete,   // read to the end; the image went to the destination (see endRecordSeen)
    CannotOpen, // missing, unreadable or not a regular file (see error)
    ReadError,  // reading failed part-way (see error)
    BadRecord,  // the line `line` is not a sound record (see fault)
    NoRecords,  // not one record in the file
};

// What is wrong with the line of a BadRecord.
enum class HexFault {
    None,
    NoColon,          // a line before the end record does not start with ':'
    TooLong,          // more than 254 characters, line end not counted
    BadHeader,        // byte count, address or type missing or not hexadecimal
    ShortData,        // fewer data digits than the byte count says
    BadDigit,         // a data or checksum digit that is not hexadecimal
    ExtraCharacters,  // something other than blanks after the checksum
    BadChecksum,      // the bytes of the record do not add up to 0
    EmptyDataRecord,  // a data record with byte count 0
    BadAddressRecord, // an 02 or 04 record whose byte count is not 2
};

struct HexReadResult {
    HexRead result = HexRead::Complete;
    // Bytes copied to the destination from offset 0: the highest stored address + 1 (bytes that no
    // record set below it are 0xFF), or 0 when no data record was stored.
    std::size_t bytesCopied = 0;
    // Data records outside the image (each also noted on the standard error stream).
    std::size_t recordsSkipped = 0;
    // Complete without an end record: the file may have been cut short, worth a warning.
    bool endRecordSeen = false;
    // BadRecord: the line (from 1) and what is wrong with it.
    std::size_t line = 0;
    HexFault fault = HexFault::None;
    // CannotOpen and ReadError: the cause, from the system or fileio::FileError.
    std::error_code error;

    // Only a loaded file changed the destination.
    bool loaded() const { return result == HexRead::Complete; }
};

inline constexpr std::size_t kHexImageSize = 0x4000000;
inline constexpr std::size_t kHexLongestLine = 254;

// Reads HEX text fed in pieces of any size, then hands the image to the destination. Only the
// first `keep` bytes of the image are gathered (the size of the destination to come), so that a
// small destination costs a small scratch image; records above still count for the highest
// address and for the checks.
class HexReader {
public:
    explicit HexReader(std::size_t keep = kHexImageSize);
    ~HexReader();

    void Feed(std::string_view text);
    // True once a bad record is found; further text need not be fed.
    bool failed() const { return fault_ != HexFault::None; }
    HexReadResult Finish(std::span<std::uint8_t> destination);

private:
    void EndLine(std::string_view line, bool cut);
    HexFault Record(std::string_view line);
    void DataRecord(unsigned offset, std::span<const std::uint8_t> data);
    std::uint8_t* ImageUpTo(std::uint64_t end);

    // The start of a line that continues in the next piece; only as much as a record may hold.
    std::string partialLine_;
    bool partialTooLong_ = false;
    std::size_t lines_ = 0;
    HexFault fault_ = HexFault::None;
    bool recordSeen_ = false;
    bool endRecordSeen_ = false;
    // The last address record: its kind, the value it carried and the base it gives.
    bool segmentBase_ = false;
    unsigned baseRecordValue_ = 0;
    std::uint64_t base_ = 0;
    std::size_t keep_;
    std::unique_ptr<std::uint8_t[]> image_;
    std::uint64_t imageFilled_ = 0; // image bytes below this are set (0xFF or data)
    std::uint64_t highest_ = 0;
    bool dataStored_ = false;
    std::size_t recordsSkipped_ = 0;
};

HexReadResult ReadHex(std::string_view text, std::span<std::uint8_t> destination);
HexReadResult ReadHexFile(const std::filesystem::path& path, std::span<std::uint8_t> destination);
