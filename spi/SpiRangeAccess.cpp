#include "spi/SpiRangeAccess.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <vector>

namespace {

bool Command(Ch341Library& library, std::initializer_list<uint8_t> bytes)
{
    uint8_t frame[2];
    std::copy(bytes.begin(), bytes.end(), frame);
    return library.CH341StreamSPI4(AdapterIndex, SpiChipSelect0, std::span<uint8_t>(frame, bytes.size()));
}

} // namespace

bool SPIPrepareRead(Ch341Library& library, SpiAddressMode mode)
{
    if (mode == SpiAddress4Mode) return Command(library, {0xB7});
    if (mode == SpiAddress4Opcode)
        return Command(library, {0xB9}) && Command(library, {0x17, 0x80}) && Command(library, {0xAB}) &&
               library.CH341SetDelaymS(AdapterIndex, 1);
    return true;
}

bool SPIReadRange(Ch341Library& library, SpiAddressMode mode, uint32_t address, std::span<uint8_t> destination,
                  uint32_t block)
{
    const auto length = static_cast<uint32_t>(destination.size());
    block = std::min(block, length);
    if (block == 0) return length == 0;
    const uint32_t whole = length / block * block;
    SpiBlockReader reader(library, mode, block, address + whole);
    for (uint32_t offset = 0; offset < whole; offset += block)
        if (!reader.read(address + offset, destination.subspan(offset, block))) return false;
    return whole == length || SPIReadBlock(library, address + whole, destination.subspan(whole), mode);
}

bool SPIEraseSector(Ch341Library& library, uint32_t address, SpiAddressMode mode)
{
    uint8_t writeEnable = 0x06, enter4Byte = 0xB7;
    std::array<uint8_t, 5> erase{};
    std::size_t length = 4;
    if (mode == SpiAddress4Mode || mode == SpiAddress4Opcode) {
        erase = {uint8_t(mode == SpiAddress4Opcode ? 0x21 : 0x20), uint8_t(address >> 24), uint8_t(address >> 16),
                 uint8_t(address >> 8), uint8_t(address)};
        length = 5;
    } else {
        erase = {0x20, uint8_t(address >> 16), uint8_t(address >> 8), uint8_t(address)};
    }
    std::vector<std::span<uint8_t>> frames{{&writeEnable, 1}};
    if (mode == SpiAddress4Mode) frames.emplace_back(&enter4Byte, 1);
    frames.emplace_back(erase.data(), length);
    return library.CH341StreamSPI4Chain(AdapterIndex, SpiChipSelect0, frames) && SPIWaitReady(library);
}

bool SPIEraseChipAndWait(Ch341Library& library, std::chrono::milliseconds limit)
{
    return Command(library, {0x06}) && Command(library, {0xC7}) && SPIWaitReady(library, limit);
}
