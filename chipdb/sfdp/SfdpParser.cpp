#include "chipdb/sfdp/SfdpParser.h"

#include <algorithm>
#include <array>
#include <utility>

namespace sfdp {

namespace {

constexpr std::array<uint8_t, 4> Signature{'S', 'F', 'D', 'P'};
constexpr std::size_t HeaderSize = 8;
constexpr std::size_t ParameterHeaderSize = 8;
// A smaller density than one page of 256 bytes (2^11 bits) is no flash; the exponent form 2^N bits
// must leave N - 3 a valid shift of a 64-bit byte count.
constexpr uint32_t SmallestDensityExponent = 11;
constexpr uint32_t LargestDensityExponent = 66;

// Callers check that the four bytes lie inside `bytes`.
uint32_t Dword(std::span<const uint8_t> bytes, std::size_t offset)
{
    return uint32_t(bytes[offset]) | uint32_t(bytes[offset + 1]) << 8 | uint32_t(bytes[offset + 2]) << 16 |
           uint32_t(bytes[offset + 3]) << 24;
}

ParameterHeader ReadParameterHeader(std::span<const uint8_t, ParameterHeaderSize> b)
{
    return {static_cast<uint16_t>(b[7] << 8 | b[0]), b[2], b[1], b[3],
            uint32_t(b[4]) | uint32_t(b[5]) << 8 | uint32_t(b[6]) << 16};
}

// The basic table to decode: the newest 1.x version, as later revisions may add a second header for
// a longer table beside the first one; the first of equals.
const ParameterHeader* ChooseBasicTable(const std::vector<ParameterHeader>& tables)
{
    const ParameterHeader* chosen = nullptr;
    for (const ParameterHeader& table : tables)
        if (table.id == BasicFlashTableId && table.major == 1 && (!chosen || table.minor > chosen->minor))
            chosen = &table;
    return chosen;
}

std::optional<uint64_t> DecodeDensity(uint32_t dw2)
{
    const uint32_t value = dw2 & 0x7FFFFFFF;
    if (dw2 & 0x80000000) {
        if (value < SmallestDensityExponent || value > LargestDensityExponent) return std::nullopt;
        return uint64_t(1) << (value - 3);
    }
    const uint64_t bits = uint64_t(value) + 1;
    if (bits % 8 != 0 || bits < (uint64_t(1) << SmallestDensityExponent)) return std::nullopt;
    return bits / 8;
}

void DecodeFirstDword(uint32_t dw1, BasicFlashParameters& basic)
{
    if ((dw1 & 0x3) == 0x1) basic.sectorEraseOpcode = static_cast<uint8_t>(dw1 >> 8);
    basic.pageGranularity = dw1 & 0x4;
    if (dw1 & 0x8) basic.volatileStatusWriteEnable = (dw1 & 0x10) ? 0x06 : 0x50;
    basic.addressing = static_cast<Addressing>((dw1 >> 17) & 0x3);
    basic.fastReads = {(dw1 & (1u << 16)) != 0, (dw1 & (1u << 20)) != 0, (dw1 & (1u << 21)) != 0,
                       (dw1 & (1u << 22)) != 0, (dw1 & (1u << 19)) != 0};
}

// DW8-DW9 hold four (size exponent, opcode) byte pairs; exponent 0 marks an unused type. An
// exponent past 31 (an erase unit of 4 GiB or more) is no erase a host could use: left out.
void DecodeEraseTypes(uint32_t dw8, uint32_t dw9, BasicFlashParameters& basic)
{
    for (const uint32_t pair : {dw8 & 0xFFFF, dw8 >> 16, dw9 & 0xFFFF, dw9 >> 16}) {
        const uint32_t exponent = pair & 0xFF;
        if (exponent == 0 || exponent > 31) continue;
        basic.eraseTypes.push_back({uint32_t(1) << exponent, static_cast<uint8_t>(pair >> 8)});
    }
}

Parsed Fail(Parsed parsed, Error error, std::size_t needed = 0)
{
    parsed.error = error;
    parsed.needed = needed;
    return parsed;
}

} // namespace

uint32_t Header::allTablesEnd() const
{
    uint32_t end = static_cast<uint32_t>(HeaderSize + ParameterHeaderSize * tables.size());
    for (const ParameterHeader& table : tables) end = std::max(end, table.end());
    return end;
}

Parsed Parse(std::span<const uint8_t> bytes)
{
    Parsed parsed;
    parsed.available = bytes.size();
    const std::size_t signatureSeen = std::min(bytes.size(), Signature.size());
    if (!std::equal(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(signatureSeen), Signature.begin()))
        return Fail(std::move(parsed), Error::NoSignature);
    if (bytes.size() < HeaderSize) return Fail(std::move(parsed), Error::Truncated, HeaderSize);

    Header& header = parsed.header;
    header.minor = bytes[4];
    header.major = bytes[5];
    header.accessProtocol = bytes[7];
    if (header.major != 1) return Fail(std::move(parsed), Error::UnsupportedRevision);
    const std::size_t count = std::size_t(bytes[6]) + 1;
    const std::size_t headersEnd = HeaderSize + count * ParameterHeaderSize;
    if (bytes.size() < headersEnd) return Fail(std::move(parsed), Error::Truncated, headersEnd);
    for (std::size_t i = 0; i < count; ++i)
        header.tables.push_back(
            ReadParameterHeader(bytes.subspan(HeaderSize + i * ParameterHeaderSize).first<ParameterHeaderSize>()));

    const ParameterHeader* table = ChooseBasicTable(header.tables);
    if (!table) return Fail(std::move(parsed), Error::NoBasicTable);
    if (table->dwords < 2) return Fail(std::move(parsed), Error::ShortBasicTable);
    if (table->end() > MaxReach) return Fail(std::move(parsed), Error::OutOfReach, table->end());
    if (bytes.size() < table->end()) return Fail(std::move(parsed), Error::Truncated, table->end());

    BasicFlashParameters& basic = parsed.basic;
    basic.major = table->major;
    basic.minor = table->minor;
    basic.dwords = table->dwords;
    const auto dword = [&](std::size_t number) { return Dword(bytes, table->pointer + 4 * (number - 1)); };
    const auto density = DecodeDensity(dword(2));
    if (!density) return Fail(std::move(parsed), Error::BadDensity);
    basic.density = *density;
    DecodeFirstDword(dword(1), basic);
    if (table->dwords >= 9) DecodeEraseTypes(dword(8), dword(9), basic);
    if (table->dwords >= 11) basic.pageSize = uint32_t(1) << ((dword(11) >> 4) & 0xF);
    parsed.error = Error::None;
    return parsed;
}

} // namespace sfdp
