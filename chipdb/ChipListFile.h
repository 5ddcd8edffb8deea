#pragma once
// ChipList.dat: one zlib stream holding an 8-byte date, a 4-byte version and the table image.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <system_error>
#include <vector>

#include "chipdb/ChipTable.h"
#include "chipdb/ChipTableImage.h"
#include "chipdb/ZStream.h"
#include "fileio/AtomicFileWriter.h"

namespace chipdb {

inline constexpr const char* kChipListFileName = "ChipList.dat";
inline constexpr std::size_t kChipListHeaderSize = 12;
inline constexpr int kFileError = -1; // zlib's Z_ERRNO

enum class ChipListStatus {
    Ok,
    CannotOpen,    // "Файл ChipList.dat не удается открыть" (same text in both languages)
    ZlibError,     // "Z_ERROR " + zlibCode
    DamagedHeader, // fewer than 12 bytes inflated
    DamagedImage,  // header read (date, version valid), table image refused: see imageError
};

struct ChipListLoad {
    ChipListStatus status = ChipListStatus::Ok;
    int zlibCode = 0;
    double date = 0;          // ChipListDate
    std::int32_t version = 0; // ChipListVersion
    ImageError imageError = ImageError::None;
};

// Reads the file into the table and orders it by CHIPTEXT. Unless the status is Ok the table is empty.
ChipListLoad LoadChipList(const std::filesystem::path& file, ChipTable& table);
// The same for an inflated content (header and image).
ChipListLoad ParseChipList(std::span<const std::uint8_t> content, ChipTable& table);
std::vector<std::uint8_t> BuildChipList(double date, std::int32_t version, const ChipTable& table);

// Writes a new ChipList.dat without ever leaving a half-written one: open() starts a temporary
// file in the target's folder, write() fills it and renames it over the target only when complete.
// On any failure the temporary file is removed, the previous file stays as it was, and error()
// names the cause (a read-only ChipList.dat is refused at open()).
class ChipListSaver : public ChunkWriter {
public:
    explicit ChipListSaver(std::filesystem::path target);
    ~ChipListSaver() override;
    ChipListSaver(const ChipListSaver&) = delete;
    ChipListSaver& operator=(const ChipListSaver&) = delete;

    // False when the file cannot be written ("Unable to open file ChipList.dat").
    bool open();
    // 0 on success; otherwise a negative code the user is shown (-1 for a file error).
    int write(double date, std::int32_t version, const ChipTable& table);
    // Why open() or write() failed, from the system; empty when a compression step failed or
    // when all went well.
    std::error_code error() const { return error_; }

    bool writeChunk(const std::uint8_t* from, std::size_t n) override;

private:
    std::filesystem::path target_;
    std::unique_ptr<fileio::AtomicFileWriter> file_;
    std::error_code error_;
};

} // namespace chipdb
