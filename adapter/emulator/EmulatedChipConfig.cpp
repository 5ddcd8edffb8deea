#include "adapter/emulator/EmulatedChipConfig.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr std::array<std::string_view, 13> I2cKinds{
    "ID_24C01", "ID_24C02", "ID_24C04", "ID_24C08", "ID_24C16", "ID_24C32", "ID_24C64",
    "ID_24C128", "ID_24C256", "ID_24C512", "ID_24C1024", "ID_24C2048", "ID_24C4096"};

constexpr uint32_t MaxEmulatedSize = 128u << 20;

std::optional<std::vector<uint8_t>> parseHex(std::string_view text)
{
    if (text.size() % 2 != 0) return std::nullopt;
    std::vector<uint8_t> bytes;
    auto nibble = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int high = nibble(text[i]), low = nibble(text[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes.push_back(static_cast<uint8_t>(high * 16 + low));
    }
    return bytes;
}

} // namespace

std::optional<uint8_t> I2cTypeOfKind(std::string_view kind)
{
    for (std::size_t i = 0; i < I2cKinds.size(); ++i)
        if (I2cKinds[i] == kind) return static_cast<uint8_t>(i);
    return std::nullopt;
}

std::optional<EmulatedChipFamily> EmulatedFamilyOf(std::string_view kind)
{
    if (I2cTypeOfKind(kind)) return EmulatedChipFamily::I2cEeprom;
    if (kind == "ID_SPI2" || kind == "ID_SPI22") return EmulatedChipFamily::SpiEeprom;
    if (kind == "ID_SPI1" || kind == "ID_SPI3" || kind == "ID_SPI24" || kind == "ID_SPI25")
        return EmulatedChipFamily::SpiFlash;
    return std::nullopt;
}

std::optional<EmulatedChipConfig> MakeEmulatedChipConfig(std::string_view chipText, std::string_view kind,
                                                         uint32_t size, uint32_t pageSize,
                                                         std::string_view signature, double eraseSeconds)
{
    const auto family = EmulatedFamilyOf(kind);
    if (!family || size == 0 || size > MaxEmulatedSize || pageSize == 0 || pageSize > size) return std::nullopt;

    EmulatedChipConfig config;
    config.kind = std::string(kind);
    config.size = size;
    config.pageSize = pageSize;
    config.jedecId.clear();
    config.resId = {0xFF, 0xFF};
    config.remsId = {0xFF, 0xFF};
    if (chipText == "PCA24S08") config.i2cDeviceAddress = 0xA8;
    if (*family != EmulatedChipFamily::SpiFlash) return config;

    const auto id = parseHex(signature);
    if (id && id->size() == 3) {
        // RES and REMS answer with the device id, by common convention the capacity code - 1.
        const uint8_t device = static_cast<uint8_t>((*id)[2] - 1);
        config.jedecId = *id;
        config.resId = {device, device};
        config.remsId = {(*id)[0], device};
    } else if (id && id->size() == 2) {
        config.resId = {(*id)[0], (*id)[1]};
        config.remsId = config.resId;
    }
    const double seconds = eraseSeconds > 0 && std::isfinite(eraseSeconds)
                               ? eraseSeconds
                               : std::max(1.0, 2.0 * size / double(1u << 20));
    config.chipEraseTime = std::chrono::microseconds(static_cast<int64_t>(seconds * 1e6));
    if (kind == "ID_SPI3") {
        config.autoAddressIncrement = true;
        config.initialStatus[0] = 0x1C;  // SST parts power up with every block protected
    }
    return config;
}

EmulatedChipConfig DefaultEmulatedChip()
{
    return *MakeEmulatedChipConfig("W25Q64FV", "ID_SPI1", 8u << 20, 256, "EF4017", 20);
}
