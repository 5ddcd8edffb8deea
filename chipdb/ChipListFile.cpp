#include "chipdb/ChipListFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cstdio>

namespace chipdb {
namespace {

class FileReader : public ChunkReader {
public:
    explicit FileReader(std::FILE* f) : f_(f) {}
    std::ptrdiff_t readChunk(std::uint8_t* to, std::size_t max) override {
        const std::size_t n = std::fread(to, 1, max, f_);
        return n == 0 && std::ferror(f_) ? -1 : static_cast<std::ptrdiff_t>(n);
    }

private:
    std::FILE* f_;
};

std::uint64_t getLe(std::span<const std::uint8_t> d, int bytes) {
    std::uint64_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= std::uint64_t{d[i]} << (8 * i);
    return v;
}

void putLe(std::vector<std::uint8_t>& out, std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

bool syncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

ChipListLoad ParseChipList(std::span<const std::uint8_t> content, ChipTable& table) {
    ChipListLoad r;
    if (content.size() < kChipListHeaderSize) {
        table.assign({});
        r.status = ChipListStatus::DamagedHeader;
        return r;
    }
    r.date = std::bit_cast<double>(getLe(content, 8));
    r.version = static_cast<std::int32_t>(static_cast<std::uint32_t>(getLe(content.subspan(8), 4)));
    r.imageError = loadTableImage(content.subspan(kChipListHeaderSize), table);
    if (r.imageError != ImageError::None) r.status = ChipListStatus::DamagedImage;
    else table.setOrder(ChipField::CHIPTEXT);
    return r;
}

ChipListLoad LoadChipList(const std::filesystem::path& file, ChipTable& table) {
    ChipListLoad r;
    std::FILE* f = std::fopen(file.c_str(), "rb");
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

std::vector<std::uint8_t> BuildChipList(double date, std::int32_t version, const ChipTable& table) {
    std::vector<std::uint8_t> content;
    putLe(content, std::bit_cast<std::uint64_t>(date), 8);
    putLe(content, static_cast<std::uint32_t>(version), 4);
    appendTableImage(table, content);
    return content;
}

ChipListSaver::ChipListSaver(std::filesystem::path target) : target_(std::move(target)) {}

ChipListSaver::~ChipListSaver() { discard(); }

bool ChipListSaver::open() {
    discard();
    std::string pattern = target_.string() + ".XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) return false;
    temp_ = pattern;
    // Keep the old file's permissions; a new file gets the usual ones.
    struct stat old {};
    ::fchmod(fd, ::stat(target_.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644);
    file_ = ::fdopen(fd, "wb");
    if (!file_) {
        ::close(fd);
        discard();
        return false;
    }
    return true;
}

int ChipListSaver::write(double date, std::int32_t version, const ChipTable& table) {
    if (!file_) return kFileError;
    const std::vector<std::uint8_t> content = BuildChipList(date, version, table);
    const int rc = Compress(content, *this);
    bool ok = rc == 0 && std::fflush(file_) == 0 && ::fsync(::fileno(file_)) == 0;
    ok = std::fclose(file_) == 0 && ok;
    file_ = nullptr;
    if (ok) ok = std::rename(temp_.c_str(), target_.c_str()) == 0;
    if (!ok) {
        discard();
        return rc != 0 ? rc : kFileError;
    }
    temp_.clear();
    syncFolder(target_.parent_path());
    return 0;
}

bool ChipListSaver::writeChunk(const std::uint8_t* from, std::size_t n) {
    return std::fwrite(from, 1, n, file_) == n;
}

void ChipListSaver::discard() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    if (!temp_.empty()) std::remove(temp_.c_str());
    temp_.clear();
}

}  // namespace chipdb
