#include "i2c/IICProbe.h"

#include "adapter/EepromAddressing.h"
#include "i2c/IICAddressing.h"

#include <algorithm>
#include <array>
#include <optional>

namespace {

constexpr uint32_t ProbeBytes = 17;
using ProbeBlock = std::array<uint8_t, ProbeBytes>;

// One random read of ProbeBytes bytes; nullopt when it was refused or the link failed.
std::optional<ProbeBlock> RandomRead(Ch341Library& library, uint32_t address, uint8_t type, uint8_t deviceBase)
{
    ProbeBlock bytes{};
    const AddressPhase phase = AddressPhaseOf(address, type, deviceBase);
    if (phase.length == 0 || !library.CH341I2cRandomRead(AdapterIndex, phase.view(), phase.readDeviceByte(), bytes))
        return std::nullopt;
    return bytes;
}

IICProbeResult Unanswered(const Ch341Library& library)
{
    return library.lastStatus() == UsbStatus::Ok ? IICProbeResult::NoAnswer : IICProbeResult::LinkFailed;
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
        if (!first || !second) return Unanswered(library);
        if (*first != *second) return IICProbeResult::TwoAddressBytes;
        return AllAlike(*first) ? IICProbeResult::Unsure : IICProbeResult::Fits;
    }
    const auto low = RandomRead(library, 0x0000, eepromType, deviceBase);
    const auto high = low ? RandomRead(library, 0x0100, eepromType, deviceBase) : std::nullopt;
    if (!low || !high) return Unanswered(library);
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
