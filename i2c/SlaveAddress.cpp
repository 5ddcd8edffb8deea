#include "i2c/SlaveAddress.h"

std::atomic<uint8_t> SlaveAddress{DefaultSlaveAddress};

std::optional<uint8_t> DeviceAddressOverride(std::string_view chipText)
{
    if (chipText == Pca24s08ChipText) return Pca24s08Address;
    return std::nullopt;
}
