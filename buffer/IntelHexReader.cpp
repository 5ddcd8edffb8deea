#include "buffer/IntelHexReader.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <vector>

#include "buffer/HexDigits.h"
#include "fileio/InputFile.h"

namespace {

constexpr std::size_t kHeaderEnd = 9; // ':' + count (2) + offset (4) + type (2)

// Reads `digits` hexadecimal digits at `at` in `text`; -1 if they are not all there.
long ParseHex(std::string_view text, std::size_t at, std::size_t digits)
{
    if (text.size() < at + digits) return -1;
    long value = 0;
    for (std::size_t i = at; i < at + digits; ++i) {
        const int digit = hexdigits::kValue[static_cast<unsigned char>(text[i])];
        if (digit < 0) return -1;
        value = value << 4 | digit;
    }
    return value;
}

bool OnlyBlanks(std::string_view text)
{
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

} // namespace

HexReader::HexReader(std::size_t keep) : keep_(std::min(keep, kHexImageSize)) {}
HexReader::~HexReader() = default;

void HexReader::Feed(std::string_view text)
{
    while (!text.empty() && !failed()) {
        const auto lineEnd = text.find('\n');
        const std::string_view piece = text.substr(0, lineEnd);
        const bool continued = !partialLine_.empty() || partialTooLong_;
        if (lineEnd == std::string_view::npos || continued) {
            // Keeps no more than the longest record and its CR; anything longer fails anyway.
            const std::size_t room = kHexLongestLine + 1 - partialLine_.size();
            partialLine_.append(piece.substr(0, room));
            partialTooLong_ = partialTooLong_ || piece.size() > room;
        }
        if (lineEnd == std::string_view::npos) return;
        text.remove_prefix(lineEnd + 1);
        if (continued) {
            EndLine(partialLine_, partialTooLong_);
            partialLine_.clear();
            partialTooLong_ = false;
        } else {
            EndLine(piece, false);
        }
    }
}

// `line` is without its LF; `cut` says that it went on past what was kept of it.
void HexReader::EndLine(std::string_view line, bool cut)
{
    ++lines_;
    if (!cut && !line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line[0] != ':') {
        if (!endRecordSeen_) fault_ = HexFault::NoColon;
        return;
    }
    fault_ = cut || line.size() > kHexLongestLine ? HexFault::TooLong : Record(line);
}

HexFault HexReader::Record(std::string_view line)
{
    const long count = ParseHex(line, 1, 2);
    const long offset = ParseHex(line, 3, 4);
    const long type = ParseHex(line, 7, 2);
    if (count < 0 || offset < 0 || type < 0) return HexFault::BadHeader;
    const std::size_t checksumAt = kHeaderEnd + 2 * static_cast<std::size_t>(count);
    if (line.size() < checksumAt + 2) return HexFault::ShortData;

    std::array<std::uint8_t, 256> data;
    unsigned sum = static_cast<unsigned>(count + (offset >> 8) + (offset & 0xFF) + type);
    for (long i = 0; i <= count; ++i) { // the data bytes, then the checksum byte
        const long byte = ParseHex(line, kHeaderEnd + 2 * static_cast<std::size_t>(i), 2);
        if (byte < 0) return HexFault::BadDigit;
        data[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(byte);
        sum += static_cast<unsigned>(byte);
    }
    if (!OnlyBlanks(line.substr(checksumAt + 2))) return HexFault::ExtraCharacters;
    if ((sum & 0xFF) != 0) return HexFault::BadChecksum;

    recordSeen_ = true;
    const auto bytes = std::span(data).first(static_cast<std::size_t>(count));
    switch (type) {
    case 0x00:
        if (count == 0) return HexFault::EmptyDataRecord;
        DataRecord(static_cast<unsigned>(offset), bytes);
        break;
    case 0x01: endRecordSeen_ = true; break;
    case 0x02:
    case 0x04: {
        if (count != 2) return HexFault::BadAddressRecord;
        baseRecordValue_ = unsigned{bytes[0]} << 8 | bytes[1];
        segmentBase_ = type == 0x02;
        base_ = segmentBase_ ? std::uint64_t{baseRecordValue_} << 4 : std::uint64_t{baseRecordValue_} << 16;
        break;
    }
    default: break;
    }
    return HexFault::None;
}

void HexReader::DataRecord(unsigned offset, std::span<const std::uint8_t> data)
{
    const std::uint64_t address = base_ + offset;
    if (address + data.size() > kHexImageSize) {
        ++recordsSkipped_;
        if (segmentBase_)
            std::fprintf(stderr, "Data record skipped at %4X:%4X\n", baseRecordValue_, offset);
        else
            std::fprintf(stderr, "Data record skipped at %8X\n", static_cast<unsigned>(address));
        return;
    }
    const std::uint64_t last = address + data.size() - 1;
    highest_ = dataStored_ ? std::max(highest_, last) : last;
    dataStored_ = true;
    if (address < keep_) {
        const std::size_t kept = std::min<std::size_t>(data.size(), keep_ - address);
        std::memcpy(ImageUpTo(address + kept) + address, data.data(), kept);
    }
}

// The image is allocated at the first data record kept and set to 0xFF only as far as records
// reach, so a small file never touches the whole image.
std::uint8_t* HexReader::ImageUpTo(std::uint64_t end)
{
    if (!image_) image_ = std::make_unique_for_overwrite<std::uint8_t[]>(keep_);
    if (end > imageFilled_) {
        std::memset(image_.get() + imageFilled_, 0xFF, end - imageFilled_);
        imageFilled_ = end;
    }
    return image_.get();
}

HexReadResult HexReader::Finish(std::span<std::uint8_t> destination)
{
    if (!failed() && (!partialLine_.empty() || partialTooLong_)) {
        EndLine(partialLine_, partialTooLong_);
        partialLine_.clear();
        partialTooLong_ = false;
    }
    HexReadResult result;
    result.recordsSkipped = recordsSkipped_;
    result.endRecordSeen = endRecordSeen_;
    if (failed()) {
        result.result = HexRead::BadRecord;
        result.line = lines_;
        result.fault = fault_;
    } else if (!recordSeen_) {
        result.result = HexRead::NoRecords;
    } else if (dataStored_) {
        result.bytesCopied = std::min<std::size_t>({highest_ + 1, destination.size(), keep_});
        ImageUpTo(result.bytesCopied); // data only above what is kept: all 0xFF
        std::memcpy(destination.data(), image_.get(), result.bytesCopied);
    }
    image_.reset();
    return result;
}

HexReadResult ReadHex(std::string_view text, std::span<std::uint8_t> destination)
{
    HexReader reader(destination.size());
    reader.Feed(text);
    return reader.Finish(destination);
}

HexReadResult ReadHexFile(const std::filesystem::path& path, std::span<std::uint8_t> destination)
{
    fileio::InputFile file(path);
    if (!file.isOpen()) return {.result = HexRead::CannotOpen, .error = file.error()};
    HexReader reader(destination.size());
    std::vector<std::uint8_t> chunk(64 * 1024);
    for (std::size_t got; !reader.failed() && (got = file.Read(chunk)) > 0;)
        reader.Feed(std::string_view(reinterpret_cast<const char*>(chunk.data()), got));
    if (file.error()) return {.result = HexRead::ReadError, .error = file.error()};
    return reader.Finish(destination);
}
