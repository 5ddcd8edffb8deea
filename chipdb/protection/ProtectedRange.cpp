#include "chipdb/protection/ProtectedRange.h"

#include <algorithm>

namespace chipdb {
namespace {

constexpr std::uint64_t KiB = 1024;
// Far above any chip: the size assumed when it is not known.
constexpr std::uint64_t kUnknownSize = std::uint64_t{1} << 40;

// unit x 2^(n-1), capped at `cap`; n >= 1.
std::uint64_t Doubled(std::uint64_t unit, unsigned n, std::uint64_t cap)
{
    return n - 1 >= 40 ? cap : std::min(cap, unit << (n - 1));
}

ProtectedRange All(std::uint64_t size, bool exact = true)
{
    return {0, size, exact};
}

// `length` bytes at the top, or at the bottom with TB; the complement with CMP.
ProtectedRange AtOneEnd(std::uint64_t size, std::uint64_t length, bool bottom, bool complement)
{
    length = std::min(length, size);
    if (complement) return bottom ? ProtectedRange{length, size} : ProtectedRange{0, size - length};
    return bottom ? ProtectedRange{0, length} : ProtectedRange{size - length, size};
}

ProtectedRange ScaledSecTbCmp(const ProtectionScheme& s, std::uint64_t size, const StatusBytes& r)
{
    const unsigned n = s.bpValue(r);
    const unsigned all = (1u << s.bpCount()) - 1;
    const bool complement = s.cmp.isSet(r);
    std::uint64_t length = 0;
    if (n == all)
        length = size;
    else if (n == 0)
        length = 0;
    else if (s.sec.isSet(r))
        length = Doubled(4 * KiB, n, 32 * KiB);
    else
        length = Doubled(std::max(64 * KiB, size / 64), n, size);
    return AtOneEnd(size, length, s.tb.isSet(r), complement);
}

ProtectedRange Blocks64K(const ProtectionScheme& s, std::uint64_t size, const StatusBytes& r)
{
    const unsigned n = s.bpValue(r);
    const unsigned all = (1u << s.bpCount()) - 1;
    const std::uint64_t length = n == 0 ? 0 : n == all ? size : Doubled(64 * KiB, n, size);
    return AtOneEnd(size, length, s.tb.isSet(r), s.cmp.isSet(r));
}

ProtectedRange EepromQuarters(const ProtectionScheme& s, std::uint64_t size, const StatusBytes& r)
{
    const unsigned n = s.bpValue(r) & 3;
    const std::uint64_t length = n == 0 ? 0 : n == 3 ? size : size >> (3 - n);
    return AtOneEnd(size, length, false, false);
}

ProtectedRange SectorRegisters(const ProtectionScheme& s, std::uint64_t size, const StatusBytes& r)
{
    switch (s.bpValue(r)) {
    case 0: return {};
    case 3: return All(size);
    default: return All(size, false); // some sectors, which ones only the sector registers say
    }
}

ProtectedRange RangeByRule(const ProtectionScheme& scheme, std::uint64_t chipSize, const StatusBytes& registers)
{
    if (chipSize == 0) return {};
    if (scheme.wps.isSet(registers)) return All(chipSize, false);
    switch (scheme.rule) {
    case RangeRule::AnyBpWholeChip: return scheme.bpValue(registers) != 0 ? All(chipSize, false) : ProtectedRange{};
    case RangeRule::ScaledSecTbCmp: return ScaledSecTbCmp(scheme, chipSize, registers);
    case RangeRule::Blocks64K: return Blocks64K(scheme, chipSize, registers);
    case RangeRule::EepromQuarters: return EepromQuarters(scheme, chipSize, registers);
    case RangeRule::SectorRegisters: return SectorRegisters(scheme, chipSize, registers);
    case RangeRule::BlockRegister: return {};
    case RangeRule::ReadOnly: return All(chipSize);
    }
    return {};
}

} // namespace

ProtectedRange protectedRange(const ProtectionScheme& scheme, std::uint64_t chipSize, const StatusBytes& registers)
{
    const ProtectedRange range = RangeByRule(scheme, chipSize, registers);
    return range.empty() ? ProtectedRange{} : range; // one form of "nothing"
}

bool anythingProtected(const ProtectionScheme& scheme, const StatusBytes& registers,
                       std::optional<std::uint64_t> chipSize)
{
    return !protectedRange(scheme, chipSize.value_or(kUnknownSize), registers).empty();
}

} // namespace chipdb
