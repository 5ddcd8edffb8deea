#include "buffer/IntelHexReader.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "buffer/HexDigits.h"
#include "buffer/InputFile.h"

namespace {

constexpr std::size_t kLinePiece = 255;

// Reads `digits` hexadecimal digits at the start of `text`; -1 if they are not all there.
long ParseHex(std::string_view text, std::size_t digits)
{
    if (text.size() < digits)
        return -1;
    long value = 0;
    for (std::size_t i = 0; i < digits; ++i) {
        const int digit = hexdigits::kValue[static_cast<unsigned char>(text[i])];
        if (digit < 0)
            return -1;
        value = value << 4 | digit;
    }
    return value;
}

}  // namespace

HexReader::HexReader() = default;
HexReader::~HexReader() = default;

void HexReader::Feed(std::string_view text)
{
    while (!text.empty() && !abandoned_) {
        const auto lineEnd = text.find('\n');
        if (lineEnd == std::string_view::npos) {
            AppendToLine(text);
            return;
        }
        const std::string_view line = text.substr(0, lineEnd);
        text.remove_prefix(lineEnd + 1);
        if (partialLine_.empty()) {
            EndLine(line, true);
        } else {
            AppendToLine(line);
            EndLine(partialLine_, true);
            partialLine_.clear();
        }
    }
}

// Keeps the start of a line that continues in the next piece of text. Whenever more than one
// piece's worth has gathered, the first 255 characters are a piece of their own.
void HexReader::AppendToLine(std::string_view text)
{
    while (!abandoned_ && partialLine_.size() + text.size() > kLinePiece) {
        const std::size_t take = kLinePiece - partialLine_.size();
        partialLine_.append(text.substr(0, take));
        text.remove_prefix(take);
        Piece(partialLine_);
        partialLine_.clear();
    }
    partialLine_.append(text);
}

// A line of 255 characters or more is split into 255-character pieces; a line end right after
// a full piece leaves an empty piece of its own, as a 255-character line buffer does.
void HexReader::EndLine(std::string_view line, bool lineEndSeen)
{
    if (lineEndSeen && !line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    while (!abandoned_ && (line.size() > kLinePiece || (lineEndSeen && line.size() == kLinePiece))) {
        Piece(line.substr(0, kLinePiece));
        line.remove_prefix(kLinePiece);
    }
    if (!abandoned_ && (lineEndSeen || !line.empty()))
        Piece(line);
}

void HexReader::Piece(std::string_view piece)
{
    if (piece.empty() || piece[0] != ':') {
        if (!endRecordSeen_)
            abandoned_ = true;
        return;
    }
    // A header that does not parse keeps the previous line's count, offset and type.
    const long count = ParseHex(piece.substr(1), 2);
    const long offset = ParseHex(piece.substr(std::min<std::size_t>(3, piece.size())), 4);
    const long type = ParseHex(piece.substr(std::min<std::size_t>(7, piece.size())), 2);
    if (count >= 0 && offset >= 0 && type >= 0) {
        count_ = static_cast<unsigned>(count);
        offset_ = static_cast<unsigned>(offset);
        type_ = static_cast<unsigned>(type);
    }
    const std::string_view rest = piece.substr(std::min<std::size_t>(9, piece.size()));

    switch (type_) {
    case 0x00: DataRecord(rest); break;
    case 0x01: endRecordSeen_ = true; break;
    case 0x02:
        if (addressing_ == Addressing::None)
            addressing_ = Addressing::Segment;
        if (addressing_ == Addressing::Segment && ParseHex(rest, 4) >= 0)
            segmentBase_ = static_cast<unsigned>(ParseHex(rest, 4));
        break;
    case 0x04:
        if (addressing_ == Addressing::None)
            addressing_ = Addressing::Linear;
        if (addressing_ == Addressing::Linear && ParseHex(rest, 4) >= 0)
            upperLinear_ = static_cast<unsigned>(ParseHex(rest, 4));
        break;
    default: break;
    }
}

void HexReader::DataRecord(std::string_view data)
{
    if (count_ == 0) {
        abandoned_ = true;
        return;
    }
    const bool segment = addressing_ == Addressing::Segment;
    const std::uint64_t address =
        segment ? std::uint64_t{segmentBase_} * 16 + offset_ : std::uint64_t{upperLinear_} * 65536 + offset_;
    if (address + count_ > kHexImageSize) {
        ++recordsSkipped_;
        if (segment)
            std::fprintf(stderr, "Data record skipped at %4X:%4X\n", segmentBase_, offset_);
        else
            std::fprintf(stderr, "Data record skipped at %8X\n", static_cast<unsigned>(address));
        return;
    }
    highest_ = dataStored_ ? std::max(highest_, address + count_ - 1) : address + count_ - 1;
    dataStored_ = true;

    // Digits missing or not hexadecimal end the record early; its remaining bytes stay 0xFF.
    std::uint8_t* out = ImageUpTo(address + count_) + address;
    const std::size_t present = std::min<std::size_t>(count_, data.size() / 2);
    for (std::size_t i = 0; i < present; ++i) {
        const int high = hexdigits::kValue[static_cast<unsigned char>(data[2 * i])];
        const int low = hexdigits::kValue[static_cast<unsigned char>(data[2 * i + 1])];
        if ((high | low) < 0)
            break;
        out[i] = static_cast<std::uint8_t>(high << 4 | low);
    }
}

// The image is allocated at the first data record and set to 0xFF only as far as records reach,
// so a small file never touches all 32 MiB.
std::uint8_t* HexReader::ImageUpTo(std::uint64_t end)
{
    if (!image_)
        image_ = std::make_unique_for_overwrite<std::uint8_t[]>(kHexImageSize);
    if (end > imageFilled_) {
        std::memset(image_.get() + imageFilled_, 0xFF, end - imageFilled_);
        imageFilled_ = end;
    }
    return image_.get();
}

HexReadResult HexReader::Finish(std::span<std::uint8_t> destination)
{
    if (!abandoned_ && !partialLine_.empty()) {
        EndLine(partialLine_, false);
        partialLine_.clear();
    }
    HexReadResult result;
    result.recordsSkipped = recordsSkipped_;
    if (abandoned_) {
        result.result = HexRead::Abandoned;
        return result;
    }
    if (dataStored_) {
        result.bytesCopied = std::min<std::size_t>(highest_ + 1, destination.size());
        std::memcpy(destination.data(), image_.get(), result.bytesCopied);
    }
    image_.reset();
    return result;
}

HexReadResult ReadHex(std::string_view text, std::span<std::uint8_t> destination)
{
    HexReader reader;
    reader.Feed(text);
    return reader.Finish(destination);
}

HexReadResult ReadHexFile(const std::filesystem::path& path, std::span<std::uint8_t> destination)
{
    InputFile file(path);
    if (!file.isOpen())
        return {.result = HexRead::CannotOpen};
    HexReader reader;
    std::vector<std::uint8_t> chunk(1 << 20);
    for (std::size_t got; !reader.abandoned() && (got = file.Read(chunk)) > 0;)
        reader.Feed(std::string_view(reinterpret_cast<const char*>(chunk.data()), got));
    return reader.Finish(destination);
}
