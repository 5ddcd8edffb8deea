#include "chipdb/sfdp/SfdpBuilder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <span>

namespace sfdp {

namespace {

using std::chrono::microseconds;
using namespace std::chrono_literals;

constexpr uint8_t Minor = 6; // JESD216B
constexpr uint8_t Dwords = 16;
constexpr uint32_t TablePointer = 16; // right after the header and the one parameter header
// Max time = 2 * (multiplier + 1) * typical: 14x for erases and 6x for programming cover the
// max/typ ratios of common datasheets (400/45 ms sector erase, 3/0.7 ms page program).
constexpr uint32_t EraseMaxMultiplier = 6;
constexpr uint32_t ProgramMaxMultiplier = 2;

// A time field: a count of `countBits` bits and a unit index above it; (count + 1) * unit is the
// time. The smallest unit whose count reaches the time, rounded up; the largest code when none does.
uint32_t TimeCode(microseconds time, std::span<const microseconds> units, int countBits)
{
    const int64_t counts = int64_t(1) << countBits;
    for (std::size_t unit = 0; unit < units.size(); ++unit) {
        const int64_t needed = std::max<int64_t>(1, (time.count() + units[unit].count() - 1) / units[unit].count());
        if (needed <= counts) return uint32_t(unit) << countBits | uint32_t(needed - 1);
    }
    return uint32_t(units.size() - 1) << countBits | uint32_t(counts - 1);
}

constexpr std::array<microseconds, 4> EraseUnits{1ms, 16ms, 128ms, 1s};
constexpr std::array<microseconds, 2> PageUnits{8us, 64us};
constexpr std::array<microseconds, 2> ByteUnits{1us, 8us};
constexpr std::array<microseconds, 4> ChipEraseUnits{16ms, 256ms, 4s, 64s};
// No byte program times are known; the usual ones of 25xx parts.
constexpr microseconds FirstByteProgram = 30us;
constexpr microseconds NextByteProgram = 3us;

std::optional<uint32_t> DensityDword(uint64_t size)
{
    if (size < 256 || size > (uint64_t(1) << 60)) return std::nullopt;
    const uint64_t bits = size * 8;
    if (bits <= (uint64_t(1) << 31)) return static_cast<uint32_t>(bits - 1);
    if (!std::has_single_bit(bits)) return std::nullopt;
    return 0x80000000u | static_cast<uint32_t>(std::countr_zero(bits));
}

uint32_t FirstDword(const ChipFacts& facts)
{
    uint32_t dw1 = 0xFF800000 | 0xE0; // reserved bits 31:23 and 7:5; no fast reads, no DTR
    dw1 |= facts.sectorEraseOpcode ? (0x1u | uint32_t(*facts.sectorEraseOpcode) << 8) : 0xFF03u;
    if (facts.pageSize >= 64) dw1 |= 0x4;
    if (facts.volatileStatusWriteEnable) dw1 |= *facts.volatileStatusWriteEnable == 0x06 ? 0x18 : 0x08;
    return dw1 | uint32_t(facts.addressing) << 17;
}

std::array<uint32_t, 2> EraseTypeDwords(const ChipFacts& facts)
{
    std::array<uint32_t, 2> dwords{0, 0}; // an unused type: exponent 0, opcode 0
    for (std::size_t i = 0; i < facts.eraseTypes.size(); ++i) {
        const EraseType& type = facts.eraseTypes[i];
        const uint32_t pair = uint32_t(type.opcode) << 8 | uint32_t(std::countr_zero(type.size));
        dwords[i / 2] |= pair << (16 * (i % 2));
    }
    return dwords;
}

uint32_t EraseTimesDword(const ChipFacts& facts)
{
    uint32_t dw10 = EraseMaxMultiplier;
    for (std::size_t i = 0; i < facts.eraseTypes.size(); ++i) {
        const microseconds time = facts.eraseTypes[i].size <= 4096 ? facts.timing.sectorErase : facts.timing.blockErase;
        dw10 |= TimeCode(time, EraseUnits, 5) << (4 + 7 * i);
    }
    return dw10;
}

uint32_t ProgramTimesDword(const ChipFacts& facts)
{
    microseconds chipErase = facts.timing.chipErase;
    if (chipErase <= 0us) chipErase = std::max<microseconds>(1s, 2s * int64_t(facts.size >> 20));
    return 0x80000000u | ProgramMaxMultiplier | uint32_t(std::countr_zero(facts.pageSize)) << 4 |
           TimeCode(facts.timing.pageProgram, PageUnits, 5) << 8 | TimeCode(FirstByteProgram, ByteUnits, 4) << 14 |
           TimeCode(NextByteProgram, ByteUnits, 4) << 19 | TimeCode(chipErase, ChipEraseUnits, 5) << 24;
}

// DW16: how to enter and leave 4-byte addressing (B7h / E9h, or always 4-byte), no soft reset, and
// how status register 1 is written (06h then 01h non-volatile, or the volatile write enable).
uint32_t AddressingDword(const ChipFacts& facts)
{
    uint32_t enter = 0x80, exit = 0x300; // the reserved bits of both fields
    if (facts.addressing == Addressing::ThreeOrFourBytes) {
        enter |= 0x01;
        exit |= 0x001;
    }
    if (facts.addressing == Addressing::FourBytes) enter |= 0x40;
    uint32_t statusWrite = 0x01;
    if (facts.volatileStatusWriteEnable) statusWrite = *facts.volatileStatusWriteEnable == 0x06 ? 0x02 : 0x04;
    return enter << 24 | exit << 14 | 0x80 | statusWrite;
}

bool Encodable(const ChipFacts& facts)
{
    const auto oddEraseType = [](const EraseType& type) { return type.size < 2 || !std::has_single_bit(type.size); };
    return std::has_single_bit(facts.pageSize) && facts.pageSize <= 32768 && facts.eraseTypes.size() <= 4 &&
           std::none_of(facts.eraseTypes.begin(), facts.eraseTypes.end(), oddEraseType) &&
           facts.addressing != Addressing::Reserved &&
           (!facts.volatileStatusWriteEnable || *facts.volatileStatusWriteEnable == 0x06 ||
            *facts.volatileStatusWriteEnable == 0x50);
}

void Put(std::vector<uint8_t>& out, uint32_t dword)
{
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(dword >> shift));
}

} // namespace

std::vector<EraseType> CommonEraseTypes()
{
    return {{4096, 0x20}, {32768, 0x52}, {65536, 0xD8}};
}

std::optional<std::vector<uint8_t>> Build(const ChipFacts& facts)
{
    const auto density = DensityDword(facts.size);
    if (!density || !Encodable(facts)) return std::nullopt;

    std::vector<uint8_t> out{'S', 'F', 'D', 'P', Minor, 1, 0 /* one parameter header */, 0xFF};
    out.insert(out.end(), {0x00, Minor, 1, Dwords, TablePointer, 0, 0, 0xFF});
    const auto [dw8, dw9] = EraseTypeDwords(facts);
    const std::array<uint32_t, Dwords> table{
        FirstDword(facts),
        *density,
        0,          // DW3-DW4: no 1-4-4, 1-1-4, 1-1-2, 1-2-2 reads
        0,          //
        0xFFFFFFEE, // DW5: no 2-2-2, 4-4-4 reads
        0x0000FFFF, // DW6-DW7: their parameters, none
        0x0000FFFF, //
        dw8,
        dw9,
        EraseTimesDword(facts),
        ProgramTimesDword(facts),
        0xFFFFFFFF, // DW12-DW13: bit 31 of DW12 set, no suspend and resume
        0xFFFFFFFF, //
        0xFFFFFFF7, // DW14: no deep power-down; busy polled with 05h bit 0
        0xFF000000, // DW15: no quad enable bit, no 0-4-4 or 4-4-4 modes
        AddressingDword(facts),
    };
    for (const uint32_t dword : table) Put(out, dword);
    return out;
}

} // namespace sfdp
