#include "i2c/IICFastPath.h"

#include "chipdb/ChipKind.h"

#include <chrono>

namespace {

template <typename Call>
std::optional<float> timed(uint8_t eepromType, uint32_t size, std::size_t room, Call call)
{
    if (eepromType >= chipdb::kNoEepromType || size > room) return std::nullopt;
    const auto start = std::chrono::steady_clock::now();
    call();
    return std::chrono::duration<float>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

std::optional<float> IICFastRead(Ch341Library& library, uint8_t eepromType, uint32_t size, std::span<uint8_t> buffer)
{
    return timed(eepromType, size, buffer.size(),
                 [&] { library.CH341ReadEEPROM(AdapterIndex, eepromType, 0, buffer.first(size)); });
}

std::optional<float> IICFastWrite(Ch341Library& library, uint8_t eepromType, uint32_t size,
                                  std::span<const uint8_t> image)
{
    return timed(eepromType, size, image.size(),
                 [&] { library.CH341WriteEEPROM(AdapterIndex, eepromType, 0, image.first(size)); });
}
