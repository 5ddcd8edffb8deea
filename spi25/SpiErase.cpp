#include "spi25/SpiErase.h"

#include "spi25/SpiFrames.h"
#include "spi25/SpiOpcodes.h"

#include <array>

namespace spi25 {

family::Result EraseChip(bus::SpiMaster& spi, uint32_t chipSize, family::Progress& progress)
{
    if (!Command(spi, {op::WriteEnable}) || !Command(spi, {op::ChipErase})) return LinkFailure(spi, 0);
    if (family::Result ready = WaitReady(spi, ChipEraseLimit(chipSize), &progress); !ready) return ready;
    if (!Command(spi, {op::WriteDisable})) return LinkFailure(spi, 0);
    return family::Result::done();
}

family::Result EraseSector(bus::SpiMaster& spi, uint32_t address, SpiAddressMode mode)
{
    std::array<uint8_t, 5> erase{};
    std::size_t length = 4;
    if (mode == SpiAddress4Mode || mode == SpiAddress4Opcode) {
        erase = {uint8_t(mode == SpiAddress4Opcode ? op::SectorErase4Byte : op::SectorErase), uint8_t(address >> 24),
                 uint8_t(address >> 16), uint8_t(address >> 8), uint8_t(address)};
        length = 5;
    } else {
        erase = {op::SectorErase, uint8_t(address >> 16), uint8_t(address >> 8), uint8_t(address)};
    }
    static constexpr uint8_t writeEnable = op::WriteEnable, enter4Byte = op::Enter4ByteMode;
    std::array<bus::SpiFrame, 3> frames;
    std::size_t count = 0;
    frames[count++] = {std::span<const uint8_t>(&writeEnable, 1), {}};
    if (mode == SpiAddress4Mode) frames[count++] = {std::span<const uint8_t>(&enter4Byte, 1), {}};
    frames[count++] = {std::span<const uint8_t>(erase.data(), length), {}};
    if (!spi.transfer(std::span(frames.data(), count))) return LinkFailure(spi, address);
    family::Result ready = WaitReady(spi, ShortOperation);
    if (!ready) {
        family::Failure failure = ready.failure();
        failure.address = address;
        return failure;
    }
    return ready;
}

} // namespace spi25
