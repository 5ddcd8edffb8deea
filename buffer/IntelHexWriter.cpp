#include "buffer/IntelHexWriter.h"

#include <algorithm>

#include "buffer/HexDigits.h"
#include "fileio/AtomicFileWriter.h"

namespace {

constexpr std::size_t kSegmentSize = 65536;
constexpr std::size_t kRecordBytes = 16;
constexpr std::size_t kLongestLine = 1 + 2 + 4 + 2 + 2 * kRecordBytes + 2 + 2;

// Appends records into a fixed block and passes full blocks on.
class RecordBlock {
public:
    explicit RecordBlock(const std::function<bool(std::string_view)>& sink) : sink_(sink) {}

    // Writes ":" + count + offset + type + data + checksum + CR LF.
    bool Record(std::uint8_t type, std::uint16_t offset, std::span<const std::uint8_t> data)
    {
        if (used_ + kLongestLine > sizeof block_ && !Flush()) return false;
        char* out = block_ + used_;
        const auto count = static_cast<std::uint8_t>(data.size());
        unsigned sum = count + (offset >> 8) + (offset & 0xFF) + type;
        *out++ = ':';
        out = Put(out, count);
        out = Put(out, static_cast<std::uint8_t>(offset >> 8));
        out = Put(out, static_cast<std::uint8_t>(offset));
        out = Put(out, type);
        for (const std::uint8_t byte : data) {
            sum += byte;
            out = Put(out, byte);
        }
        out = Put(out, static_cast<std::uint8_t>(0u - sum));
        *out++ = '\r';
        *out++ = '\n';
        used_ = static_cast<std::size_t>(out - block_);
        return true;
    }

    bool Flush()
    {
        const bool accepted = used_ == 0 || sink_(std::string_view(block_, used_));
        used_ = 0;
        return accepted;
    }

private:
    static char* Put(char* out, std::uint8_t byte)
    {
        const auto& pair = hexdigits::kPairs[byte];
        out[0] = pair[0];
        out[1] = pair[1];
        return out + 2;
    }

    const std::function<bool(std::string_view)>& sink_;
    char block_[65536];
    std::size_t used_ = 0;
};

} // namespace

bool WriteHex(std::span<const std::uint8_t> source, const std::function<bool(std::string_view)>& sink)
{
    RecordBlock block(sink);
    const std::size_t lastSegment = source.size() / kSegmentSize;
    for (std::size_t segment = 0; segment <= lastSegment; ++segment) {
        const std::uint8_t upper[2] = {static_cast<std::uint8_t>(segment >> 8), static_cast<std::uint8_t>(segment)};
        if (!block.Record(0x04, 0, upper)) return false;
        const auto bytes =
            source.subspan(segment * kSegmentSize, std::min(kSegmentSize, source.size() - segment * kSegmentSize));
        for (std::size_t offset = 0; offset < bytes.size(); offset += kRecordBytes) {
            const auto record = bytes.subspan(offset, std::min(kRecordBytes, bytes.size() - offset));
            if (!block.Record(0x00, static_cast<std::uint16_t>(offset), record)) return false;
        }
    }
    return block.Record(0x01, 0, {}) && block.Flush();
}

std::string HexText(std::span<const std::uint8_t> source)
{
    std::string text;
    WriteHex(source, [&text](std::string_view block) {
        text += block;
        return true;
    });
    return text;
}

std::error_code WriteHexFile(const std::filesystem::path& path, std::span<const std::uint8_t> source)
{
    fileio::AtomicFileWriter writer(path);
    WriteHex(source, [&writer](std::string_view block) { return writer.Write(block); });
    return writer.Commit();
}
