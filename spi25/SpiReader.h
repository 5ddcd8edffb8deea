#pragma once
// Reads a range of a 25xx chip in blocks, each block's frame queued while the one before is still
// on its way, so the adapter goes from block to block without waiting for the host. A status read
// rides behind every block: a chip found busy there (an erase it was still finishing, a fault)
// gave no data worth keeping, so the block is read again once the chip is ready, and a chip that
// stays busy ends the read with StayedBusy.

#include "adapter/SpiAddressMode.h"
#include "adapter/bus/SpiMaster.h"
#include "family/ChipDriver.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace spi25 {

class BlockReader {
public:
    // Blocks of `blockSize` bytes (the last may be shorter) up to `end`.
    BlockReader(bus::SpiMaster& spi, SpiAddressMode mode, uint32_t blockSize, uint32_t end);
    ~BlockReader();
    BlockReader(const BlockReader&) = delete;
    BlockReader& operator=(const BlockReader&) = delete;

    // Reads the next block, at `address` (in order), into `into` (its length).
    family::Result read(uint32_t address, std::span<uint8_t> into);

private:
    struct Slot {
        std::array<uint8_t, 5> header{};
        std::size_t headerLength = 0;
        std::vector<uint8_t> data;
        uint8_t status = 0;
        uint32_t address = 0;
        bus::SpiTicket ticket = 0;
    };
    bool queue(Slot& slot, uint32_t address);
    uint32_t lengthAt(uint32_t address) const;

    bus::SpiMaster& spi_;
    SpiAddressMode mode_;
    uint32_t blockSize_, end_;
    std::array<Slot, 2> slots_;
    std::size_t current_ = 0;
};

// Reads [address, address + into.size()) in blocks of `blockSize`; progress advances per block.
family::Result ReadRange(bus::SpiMaster& spi, SpiAddressMode mode, uint32_t address, std::span<uint8_t> into,
                         uint32_t blockSize, family::Progress& progress);

// 4-byte addressing before reads: B7 for mode 4; for mode 5 B9, then 17 80, which set the bank
// register's EXTADD bit on S25FL-S parts. Every other maker of such chips defines B9 as deep
// power-down, so AB then wakes the chip (on S25FL-S it is a harmless signature read) and the read
// waits the release time (at most tens of microseconds) before the first frame.
bool PrepareRead(bus::SpiMaster& spi, SpiAddressMode mode);

} // namespace spi25
