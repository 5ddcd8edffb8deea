#pragma once
// The 25xx family's driver: SPI flash (page or SST word programming, chip and sector erase) and
// SPI EEPROM (byte-addressed pages, erased by writing FF), over the adapter's SPI master.

#include "adapter/bus/SpiMaster.h"
#include "family/ChipDriver.h"
#include "spi25/SpiProgrammer.h"

namespace spi25 {

// Reads go in chunks of the chip's size or 2048 bytes, whichever is smaller.
inline constexpr uint32_t ReadChunkLimit = 2048;
inline uint32_t ReadChunk(uint32_t size)
{
    return size < ReadChunkLimit ? size : ReadChunkLimit;
}

class Spi25Driver final : public family::ChipDriver {
public:
    Spi25Driver(chipdb::Chip chip, bus::SpiMaster& spi);

    family::Capabilities capabilities() const override;
    family::Result identify(family::Identity& identity) override;
    family::Result read(uint32_t address, std::span<uint8_t> into, family::Progress& progress) override;
    family::Result program(uint32_t address, std::span<const uint8_t> data, family::Progress& progress) override;
    family::Result erase(family::Progress& progress) override;
    family::Result eraseSectors(uint32_t address, uint32_t length, family::Progress& progress) override;
    uint32_t sectorSize() const override;
    family::Result readStatus(family::StatusBytes& registers) override;
    family::Result writeStatus(const family::StatusBytes& registers) override;

    // The size of the programming unit: the page, or the SST block.
    uint32_t programUnit() const;
    bus::SpiMaster& spi() { return spi_; }

private:
    family::Result programPages(uint32_t address, std::span<const uint8_t> data, family::Progress& progress);
    family::Result programAai(uint32_t address, std::span<const uint8_t> data, family::Progress& progress);

    bus::SpiMaster& spi_;
    bool readPrepared_ = false;
};

} // namespace spi25
