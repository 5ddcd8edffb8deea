#include "chipdb/ChipListFile.h"

#include <bit>
#include <cstdio>

namespace chipdb {
namespace {

class FileReader : public ChunkReader {
public:
    explicit FileReader(std::FILE* f) : f_(f) {}
    std::ptrdiff_t readChunk(std::uint8_t* to, std::size_t max) override
    {
        const std::size_t n = std::fread(to, 1, max, f_);
        return n == 0 && std::ferror(f_) ? -1 : static_cast<std::ptrdiff_t>(n);
    }

private:
    std::FILE* f_;
};

std::uint64_t getLe(std::span<const std::uint8_t> d, int bytes)
{
    std::uint64_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= std::uint64_t{d[i]} << (8 * i);
    return v;
}

void putLe(std::vector<std::uint8_t>& out, std::uint64_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

} // namespace

ChipListLoad ParseChipList(std::span<const std::uint8_t> content, ChipTable& table)
{
    ChipListLoad r;
    if (content.size() < kChipListHeaderSize) {
        table.assign({});
        r.status = ChipListStatus::DamagedHeader;
        return r;
    }
    r.date = std::bit_cast<double>(getLe(content, 8));
    r.version = static_cast<std::int32_t>(static_cast<std::uint32_t>(getLe(content.subspan(8), 4)));
    r.imageError = loadTableImage(content.subspan(kChipListHeaderSize), table);
    if (r.imageError != ImageError::None)
        r.status = ChipListStatus::DamagedImage;
    else
        table.setOrder(ChipField::CHIPTEXT);
    return r;
}

ChipListLoad LoadChipList(const std::filesystem::path& file, ChipTable& table)
{
    ChipListLoad r;
    // Only a regular file is read: a pipe or a device in its place would block the start.
    std::error_code error;
    std::FILE* f = std::filesystem::is_regular_file(file, error) ? std::fopen(file.c_str(), "rb") : nullptr;
    if (!f) {
        table.assign({});
        r.status = ChipListStatus::CannotOpen;
        return r;
    }
    FileReader reader(f);
    std::vector<std::uint8_t> content;
    r.zlibCode = Decompress(reader, content);
    std::fclose(f);
    if (r.zlibCode != 0) {
        table.assign({});
        r.status = ChipListStatus::ZlibError;
        return r;
    }
    return ParseChipList(content, table);
}

std::vector<std::uint8_t> BuildChipList(double date, std::int32_t version, const ChipTable& table)
{
    std::vector<std::uint8_t> content;
    putLe(content, std::bit_cast<std::uint64_t>(date), 8);
    putLe(content, static_cast<std::uint32_t>(version), 4);
    appendTableImage(table, content);
    return content;
}

ChipListSaver::ChipListSaver(std::filesystem::path target) : target_(std::move(target)) {}

ChipListSaver::~ChipListSaver() = default;

bool ChipListSaver::open()
{
    file_ = std::make_unique<fileio::AtomicFileWriter>(target_);
    error_ = file_->error();
    if (error_) file_.reset();
    return file_ != nullptr;
}

int ChipListSaver::write(double date, std::int32_t version, const ChipTable& table)
{
    if (!file_) return kFileError;
    const std::vector<std::uint8_t> content = BuildChipList(date, version, table);
    const int rc = Compress(content, *this);
    // Without a commit the temporary file goes and the previous ChipList.dat stays.
    error_ = rc == 0 ? file_->Commit() : file_->error();
    file_.reset();
    if (rc != 0) return rc;
    return error_ ? kFileError : 0;
}

bool ChipListSaver::writeChunk(const std::uint8_t* from, std::size_t n)
{
    return file_->Write(std::span(from, n));
}

} // namespace chipdb
