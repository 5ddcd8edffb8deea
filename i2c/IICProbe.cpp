#include "i2c/IICProbe.h"

#include "adapter/EepromAddressing.h"
#include "adapter/Uch_i2c.h"
#include "i2c/IICAddressing.h"

#include <algorithm>
#include <array>
#include <optional>

namespace {

constexpr uint32_t ProbeBytes = 17;

std::optional<std::array<uint8_t, ProbeBytes>> RandomRead(Ch341Library& library, uint32_t address, uint8_t type,
                                                          uint8_t deviceBase)
{
    std::array<uint8_t, ProbeBytes> bytes{};
    const AddressPhase phase = AddressPhaseOf(address, type, deviceBase);
    const bool ok = IICStart(library, AdapterIndex) && IICSendAddress(library, address, type, deviceBase) &&
                    IICStart(library, AdapterIndex) && IICWriteByte(library, AdapterIndex, phase.readDeviceByte()) &&
                    IICReadBytes(library, AdapterIndex, ProbeBytes - 1, bytes) &&
                    IICReadLastByte(library, AdapterIndex, bytes[ProbeBytes - 1]) && IICStop(library, AdapterIndex);
    if (!ok) {
        IICStop(library, AdapterIndex);
        return std::nullopt;
    }
    return bytes;
}

template <class Bytes>
bool AllAlike(const Bytes& bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [&](uint8_t b) { return b == bytes[0]; });
}

} // namespace

IICProbeResult IICProbeAddressWidth(Ch341Library& library, uint8_t eepromType, uint8_t deviceBase)
{
    const auto geometry = EepromGeometryOf(eepromType);
    if (!geometry) return IICProbeResult::Unsure;
    if (geometry->addressBytes == 1) {
        const auto first = RandomRead(library, 0, eepromType, deviceBase);
        const auto second = first ? RandomRead(library, 0, eepromType, deviceBase) : std::nullopt;
        if (!first || !second) return IICProbeResult::NoAnswer;
        if (*first != *second) return IICProbeResult::TwoAddressBytes;
        return AllAlike(*first) ? IICProbeResult::Unsure : IICProbeResult::Fits;
    }
    const auto low = RandomRead(library, 0x0000, eepromType, deviceBase);
    const auto high = low ? RandomRead(library, 0x0100, eepromType, deviceBase) : std::nullopt;
    if (!low || !high) return IICProbeResult::NoAnswer;
    if (AllAlike(*low)) return IICProbeResult::Unsure;
    const bool movedByOne = std::equal(low->begin() + 1, low->end(), high->begin());
    return movedByOne ? IICProbeResult::OneAddressByte : IICProbeResult::Fits;
}

bool MirroredHalves(std::span<const uint8_t> image)
{
    const std::size_t half = image.size() / 2;
    if (half == 0 || AllAlike(image)) return false;
    return std::equal(image.begin(), image.begin() + std::ptrdiff_t(half), image.begin() + std::ptrdiff_t(half));
}
