// The SFDP parser on any bytes a chip may answer: it stays inside them, asks only for reads within
// reach, decodes a longer read as a shorter one that held the table, has a text for every outcome,
// and what it decodes the builder writes back to the same facts. The dump text reader on the same
// input as text: what it reads, it writes and reads back unchanged.

#include <algorithm>
#include <bit>

#include "chipdb/sfdp/SfdpBuilder.h"
#include "chipdb/sfdp/SfdpHexText.h"
#include "chipdb/sfdp/SfdpParser.h"
#include "chipdb/sfdp/SfdpText.h"
#include "fuzz/FuzzSupport.h"

namespace {

using namespace sfdp;

void CheckDecoded(const BasicFlashParameters& basic)
{
    FUZZ_CHECK(basic.density >= 256);
    FUZZ_CHECK(basic.eraseTypes.size() <= 4);
    for (const EraseType& type : basic.eraseTypes) FUZZ_CHECK(type.size >= 2 && std::has_single_bit(type.size));
    FUZZ_CHECK(!basic.pageSize || (std::has_single_bit(*basic.pageSize) && *basic.pageSize <= 32768));
    FUZZ_CHECK(!basic.volatileStatusWriteEnable || *basic.volatileStatusWriteEnable == 0x06 ||
               *basic.volatileStatusWriteEnable == 0x50);
}

void CheckRoundTrip(const BasicFlashParameters& basic)
{
    if (basic.addressing == Addressing::Reserved || basic.density > (uint64_t(1) << 60)) return;
    ChipFacts facts;
    facts.size = basic.density;
    facts.pageSize = basic.pageSize.value_or(256);
    facts.sectorEraseOpcode = basic.sectorEraseOpcode;
    facts.eraseTypes = basic.eraseTypes;
    facts.addressing = basic.addressing;
    facts.volatileStatusWriteEnable = basic.volatileStatusWriteEnable;
    const auto built = Build(facts);
    FUZZ_CHECK(built);
    const Parsed again = Parse(*built);
    FUZZ_CHECK(again.ok());
    FUZZ_CHECK(again.basic.density == basic.density && again.basic.pageSize == facts.pageSize);
    FUZZ_CHECK(again.basic.sectorEraseOpcode == basic.sectorEraseOpcode);
    FUZZ_CHECK(again.basic.eraseTypes == basic.eraseTypes && again.basic.addressing == basic.addressing);
    FUZZ_CHECK(again.basic.volatileStatusWriteEnable == basic.volatileStatusWriteEnable);
}

void CheckParser(std::span<const uint8_t> bytes)
{
    const Parsed parsed = Parse(bytes);
    FUZZ_CHECK(parsed.available == bytes.size());
    if (parsed.error == Error::Truncated) FUZZ_CHECK(parsed.needed > bytes.size() && parsed.needed <= MaxReach);
    if (parsed.error == Error::OutOfReach) FUZZ_CHECK(parsed.needed > MaxReach);
    if (!parsed.ok()) {
        const TextPair text = ErrorText(parsed);
        FUZZ_CHECK(!text.en.empty() && !text.ru.empty());
        return;
    }
    CheckDecoded(parsed.basic);
    FUZZ_CHECK(!SummaryText(bytes.first(std::min<std::size_t>(bytes.size(), 3)), parsed.basic).en.empty());
    FUZZ_CHECK(DetailLines(parsed).size() >= 8);

    // A shorter read either holds the table and decodes the same, or asks for more.
    const Parsed half = Parse(bytes.first(bytes.size() / 2));
    FUZZ_CHECK(half.error == Error::Truncated || (half.ok() && half.basic == parsed.basic));
    CheckRoundTrip(parsed.basic);
}

void CheckHexText(std::string_view text)
{
    const HexTextRead read = ReadHexText(text);
    if (!read.ok()) {
        FUZZ_CHECK(read.bytes.empty() && (read.line > 0 || read.fault == HexTextFault::Empty));
        return;
    }
    FUZZ_CHECK(!read.bytes.empty() && read.bytes.size() <= MaxReach);
    const HexTextRead again = ReadHexText(WriteHexText(read.bytes));
    FUZZ_CHECK(again.ok() && again.bytes == read.bytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CheckParser(std::span(data, size));
    CheckHexText(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
