#include "spi25/SpiReader.h"

#include "spi25/SpiFrames.h"
#include "spi25/SpiOpcodes.h"

#include <algorithm>
#include <utility>

namespace spi25 {

BlockReader::BlockReader(bus::SpiMaster& spi, SpiAddressMode mode, uint32_t blockSize, uint32_t end)
    : spi_(spi), mode_(mode), blockSize_(std::max<uint32_t>(blockSize, 1)), end_(end)
{
}

BlockReader::~BlockReader()
{
    for (Slot& slot : slots_)
        if (slot.ticket != 0) spi_.collect(slot.ticket);
}

uint32_t BlockReader::lengthAt(uint32_t address) const
{
    return std::min(blockSize_, end_ - address);
}

bool BlockReader::queue(Slot& slot, uint32_t address)
{
    slot.headerLength = FrameHeader(mode_, false, address, slot.header.data());
    if (slot.headerLength == 0) return false;
    slot.data.resize(lengthAt(address));
    slot.address = address;
    static constexpr uint8_t readStatus = op::ReadStatus1;
    const bus::SpiFrame frames[] = {
        {std::span<const uint8_t>(slot.header.data(), slot.headerLength), slot.data},
        {std::span<const uint8_t>(&readStatus, 1), std::span<uint8_t>(&slot.status, 1)},
    };
    slot.ticket = spi_.queue(frames);
    return slot.ticket != 0;
}

family::Result BlockReader::read(uint32_t address, std::span<uint8_t> into)
{
    if (address >= end_ || into.size() != lengthAt(address))
        return family::Failure{family::Failure::Cause::BadRequest, address};
    Slot& slot = slots_[current_];
    if (slot.ticket == 0 && !queue(slot, address)) return LinkFailure(spi_, address);
    if (slot.address != address) return family::Failure{family::Failure::Cause::BadRequest, address};
    current_ ^= 1;
    Slot& next = slots_[current_];
    if (uint64_t(address) + blockSize_ < end_ && next.ticket == 0)
        queue(next, address + blockSize_); // a failure shows when that block is read

    const bus::SpiTicket ticket = std::exchange(slot.ticket, 0);
    if (!spi_.collect(ticket)) return LinkFailure(spi_, address);
    if (slot.status & op::StatusBusy) {
        // Busy during the read: nothing read meanwhile can be trusted. The block queued behind
        // this one is dropped and read again in order once the chip is ready.
        if (next.ticket != 0) spi_.collect(std::exchange(next.ticket, 0));
        if (const family::Result ready = WaitReady(spi_, ShortOperation); !ready) {
            family::Failure failure = ready.failure();
            failure.address = address;
            return failure;
        }
        current_ ^= 1;
        return read(address, into);
    }
    std::copy(slot.data.begin(), slot.data.end(), into.begin());
    return family::Result::done();
}

family::Result ReadRange(bus::SpiMaster& spi, SpiAddressMode mode, uint32_t address, std::span<uint8_t> into,
                         uint32_t blockSize, family::Progress& progress)
{
    const auto end = uint32_t(address + into.size());
    BlockReader reader(spi, mode, blockSize, end);
    for (uint32_t at = address; at < end;) {
        if (progress.cancelRequested()) return family::Failure{family::Failure::Cause::Cancelled, at};
        const uint32_t length = std::min(blockSize, end - at);
        if (const family::Result result = reader.read(at, into.subspan(at - address, length)); !result) return result;
        at += length;
        progress.advance(length);
    }
    return family::Result::done();
}

bool PrepareRead(bus::SpiMaster& spi, SpiAddressMode mode)
{
    if (mode == SpiAddress4Mode) return Command(spi, {op::Enter4ByteMode});
    if (mode == SpiAddress4Opcode) {
        if (!Command(spi, {op::DeepPowerDown}) || !Command(spi, {op::WriteBankRegister, 0x80}) ||
            !Command(spi, {op::ResId}))
            return false;
        spi.pause(std::chrono::milliseconds(1));
    }
    return true;
}

} // namespace spi25
