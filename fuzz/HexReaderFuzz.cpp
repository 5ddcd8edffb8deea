// The Intel HEX reader on any text: it never reaches past the destination, a failed read leaves
// the destination untouched, text in pieces reads as the whole, and what loads survives a write
// and a read back.

#include <algorithm>
#include <vector>

#include "buffer/HexTexts.h"
#include "buffer/IntelHexReader.h"
#include "buffer/IntelHexWriter.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    constexpr std::uint8_t kUntouched = 0xA5;
    static std::vector<std::uint8_t> destination(1 << 16), pieces(1 << 16), back(1 << 16);
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    std::fill(destination.begin(), destination.end(), kUntouched);
    const HexReadResult read = ReadHex(text, destination);
    FUZZ_CHECK(read.bytesCopied <= destination.size());
    if (!read.loaded()) {
        FUZZ_CHECK(std::all_of(destination.begin(), destination.end(), [](auto b) { return b == kUntouched; }));
        FUZZ_CHECK(read.result != HexRead::BadRecord || (read.line > 0 && read.fault != HexFault::None));
        FUZZ_CHECK(!HexFailureText(read, "input.hex").en.empty());
    }

    // Fed in three pieces, split where the input says.
    std::fill(pieces.begin(), pieces.end(), kUntouched);
    HexReader reader(pieces.size());
    const std::size_t first = size == 0 ? 0 : data[0] % (size + 1), second = first + (size - first) / 2;
    reader.Feed(text.substr(0, first));
    reader.Feed(text.substr(first, second - first));
    reader.Feed(text.substr(second));
    const HexReadResult split = reader.Finish(pieces);
    FUZZ_CHECK(split.result == read.result && split.line == read.line && split.fault == read.fault);
    FUZZ_CHECK(split.bytesCopied == read.bytesCopied && pieces == destination);

    if (read.loaded() && read.bytesCopied > 0) {
        const auto image = std::span(destination).first(read.bytesCopied);
        const HexReadResult again = ReadHex(HexText(image), back);
        FUZZ_CHECK(again.loaded() && again.endRecordSeen && again.bytesCopied == image.size());
        FUZZ_CHECK(std::equal(image.begin(), image.end(), back.begin()));
    }
    return 0;
}
