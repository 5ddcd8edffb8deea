#include "adapter/ch347/Ch347Protocol.h"

#include <algorithm>

namespace ch347 {

namespace {
constexpr std::size_t WordFields = 10;
} // namespace

std::array<uint8_t, ConfigSize> EncodeConfig(const SpiConfig& config)
{
    const uint16_t words[WordFields] = {
        config.direction,  config.mode,      config.dataSize, config.clockPolarity, config.clockPhase,
        config.chipSelect, config.prescaler, config.firstBit, config.crcPolynomial, config.readWriteInterval};
    std::array<uint8_t, ConfigSize> bytes{};
    for (std::size_t i = 0; i < WordFields; ++i) {
        bytes[2 * i] = static_cast<uint8_t>(words[i]);
        bytes[2 * i + 1] = static_cast<uint8_t>(words[i] >> 8);
    }
    bytes[2 * WordFields] = config.mosiWhileReading;
    bytes[2 * WordFields + 1] = config.flags;
    std::copy(config.reserved.begin(), config.reserved.end(), bytes.begin() + 2 * WordFields + 2);
    return bytes;
}

std::optional<SpiConfig> DecodeConfig(std::span<const uint8_t> bytes)
{
    if (bytes.size() != ConfigSize) return std::nullopt;
    auto word = [&](std::size_t i) { return static_cast<uint16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8); };
    SpiConfig config;
    config.direction = word(0);
    config.mode = word(1);
    config.dataSize = word(2);
    config.clockPolarity = word(3);
    config.clockPhase = word(4);
    config.chipSelect = word(5);
    config.prescaler = word(6);
    config.firstBit = word(7);
    config.crcPolynomial = word(8);
    config.readWriteInterval = word(9);
    config.mosiWhileReading = bytes[2 * WordFields];
    config.flags = bytes[2 * WordFields + 1];
    std::copy_n(bytes.begin() + 2 * WordFields + 2, config.reserved.size(), config.reserved.begin());
    return config;
}

SpiConfig Mode0Config(int index)
{
    SpiConfig config;
    config.prescaler = static_cast<uint16_t>(std::clamp(index, 0, ClockCount - 1) * 8);
    return config;
}

} // namespace ch347
