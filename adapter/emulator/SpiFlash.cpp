#include "adapter/emulator/SpiFlash.h"

#include <algorithm>
#include <utility>

namespace {
constexpr uint8_t BusyBit = 0x01;
constexpr uint8_t WriteEnableBit = 0x02;
constexpr uint32_t Sector = 4096;
constexpr uint32_t Block32 = 32768;
constexpr uint32_t Block64 = 65536;
} // namespace

SpiFlash::SpiFlash(const EmulatedChipConfig& config, ChipMemory& memory, const EmuClock& clock)
    : config_(config), memory_(memory), clock_(clock)
{
    std::copy(config.initialStatus.begin(), config.initialStatus.end(), status_);
    status_[0] &= static_cast<uint8_t>(~(BusyBit | WriteEnableBit));
}

uint8_t SpiFlash::status(int index) const
{
    if (index != 0) return status_[index];
    return static_cast<uint8_t>(status_[0] | (busy() ? BusyBit : 0) | (writeEnabled_ ? WriteEnableBit : 0));
}

void SpiFlash::select()
{
    frame_.clear();
    busyAtSelect_ = busy();
}

uint32_t SpiFlash::frameAddress(std::size_t first, std::size_t count) const
{
    uint32_t address = 0;
    for (std::size_t i = 0; i < count; ++i) address = (address << 8) | frame_[first + i];
    return address;
}

uint8_t SpiFlash::transfer(uint8_t mosi)
{
    frame_.push_back(mosi);
    return response(frame_.size() - 1);
}

// The byte the chip shifts out at `position`, from the bytes it received before it.
uint8_t SpiFlash::response(std::size_t position) const
{
    if (position == 0) return 0xFF;
    const uint8_t op = frame_[0];
    if (powerDown_ && op != 0xAB) return 0xFF;
    switch (op) {
    case 0x05: return status(0);
    case 0x35: return status(1);
    case 0x15: return status(2);
    default: break;
    }
    if (busyAtSelect_) return 0xFF;
    switch (op) {
    case 0x9F:
        return position <= config_.jedecId.size() ? config_.jedecId[position - 1] : 0xFF;
    case 0xAB:
        return position >= 4 ? config_.resId[(position - 4) % 2] : 0xFF;
    case 0x90:
        return position >= 4 ? config_.remsId[((position - 4) + (frame_[3] & 1)) % 2] : 0xFF;
    case 0x4B:
        return position >= 5 && position < 13 ? config_.uniqueId[position - 5] : 0xFF;
    case 0x16: return fourByte_ ? 0x80 : 0x00;
    case 0x03:
    case 0x13: {
        const std::size_t addressBytes = (op == 0x13 || fourByte_) ? 4 : 3;
        if (position <= addressBytes) return 0xFF;
        const uint32_t address = frameAddress(1, addressBytes);
        return memory_.bytes()[(address + (position - addressBytes - 1)) % memory_.size()];
    }
    default: return 0xFF;
    }
}

bool SpiFlash::isProtected(uint32_t address, uint32_t length) const
{
    const unsigned bp = (status_[0] >> 2) & 7;
    if (bp == 0) return false;
    const uint32_t size = static_cast<uint32_t>(memory_.size());
    const uint32_t protectedLength = bp == 7 ? size : size >> (7 - bp);
    const bool bottom = (status_[0] & 0x20) != 0;
    const uint32_t from = bottom ? 0 : size - protectedLength;
    const uint32_t to = bottom ? protectedLength : size;
    return address < to && address + length > from;
}

void SpiFlash::deselect()
{
    if (!frame_.empty()) execute();
    frame_.clear();
}

void SpiFlash::execute()
{
    const uint8_t op = frame_[0];
    if (powerDown_) {
        if (op == 0xAB) powerDown_ = false;
        return;
    }
    if (busyAtSelect_) return;  // a busy chip only answers status reads
    if (aai_ && op != 0xAD && op != 0x04) return;
    // 50 enables only the status write that immediately follows it.
    const bool volatileEnable = std::exchange(volatileStatusEnabled_, false);

    const std::size_t length = frame_.size();
    const std::size_t addressBytes = fourByte_ ? 4 : 3;
    switch (op) {
    case 0x06: writeEnabled_ = true; return;
    case 0x04:
        writeEnabled_ = false;
        aai_ = false;
        return;
    case 0x50: volatileStatusEnabled_ = true; return;
    case 0xB7: fourByte_ = true; return;
    case 0xE9: fourByte_ = false; return;
    case 0xB9:
        if (config_.deepPowerDownOnB9) powerDown_ = true;
        return;
    case 0x17:
        if (length >= 2) fourByte_ = (frame_[1] & 0x80) != 0;
        return;
    case 0x01:
    case 0x31:
    case 0x11: writeStatus(volatileEnable); return;
    default: break;
    }

    if (!writeEnabled_) return;
    switch (op) {
    case 0x02:
        if (length > addressBytes + 1) program(frameAddress(1, addressBytes), addressBytes + 1);
        return;
    case 0x12:
        if (length > 5) program(frameAddress(1, 4), 5);
        return;
    case 0x20:
    case 0x21: {
        const std::size_t bytes = op == 0x21 ? 4 : addressBytes;
        if (length == bytes + 1) erase(frameAddress(1, bytes), Sector, config_.sectorEraseTime);
        return;
    }
    case 0x52:
        if (length == addressBytes + 1) erase(frameAddress(1, addressBytes), Block32, config_.blockEraseTime);
        return;
    case 0xD8:
    case 0xDC: {
        const std::size_t bytes = op == 0xDC ? 4 : addressBytes;
        if (length == bytes + 1) erase(frameAddress(1, bytes), Block64, config_.blockEraseTime);
        return;
    }
    case 0xC7:
    case 0x60:
        if (length == 1) erase(0, static_cast<uint32_t>(memory_.size()), config_.chipEraseTime);
        return;
    case 0xAD: {
        if (!config_.autoAddressIncrement) return;
        std::size_t dataStart = 1;
        if (!aai_) {
            if (length != 6) return;
            aaiAddress_ = frameAddress(1, 3) & ~1u;
            dataStart = 4;
        } else if (length != 3) {
            return;
        }
        const uint32_t address = aaiAddress_ % static_cast<uint32_t>(memory_.size());
        if (!isProtected(address, 2)) {
            auto cells = memory_.bytes();
            cells[address] &= frame_[dataStart];
            cells[(address + 1) % cells.size()] &= frame_[dataStart + 1];
            memory_.markChanged();
        }
        aai_ = true;
        aaiAddress_ += 2;
        startBusy(config_.aaiWordTime);
        return;
    }
    default: return;
    }
}

void SpiFlash::program(uint32_t address, std::size_t dataStart)
{
    writeEnabled_ = false;
    const uint32_t page = config_.pageSize;
    const uint32_t base = address % static_cast<uint32_t>(memory_.size()) / page * page;
    if (isProtected(base, page)) return;
    // The page buffer keeps the last byte sent for each cell; only cells sent are programmed.
    std::vector<int> latch(page, -1);
    for (std::size_t i = dataStart; i < frame_.size(); ++i)
        latch[(address % page + (i - dataStart)) % page] = frame_[i];
    auto cells = memory_.bytes();
    for (uint32_t i = 0; i < page; ++i)
        if (latch[i] >= 0 && base + i < cells.size()) cells[base + i] &= static_cast<uint8_t>(latch[i]);
    memory_.markChanged();
    startBusy(config_.pageProgramTime);
}

void SpiFlash::erase(uint32_t address, uint32_t length, EmuClock::Duration duration)
{
    writeEnabled_ = false;
    const uint32_t size = static_cast<uint32_t>(memory_.size());
    length = std::min(length, size);
    const uint32_t base = address % size / length * length;
    if (isProtected(base, length)) return;
    auto cells = memory_.bytes();
    std::fill(cells.begin() + base, cells.begin() + base + length, 0xFF);
    memory_.markChanged();
    startBusy(duration);
}

void SpiFlash::writeStatus(bool volatileEnable)
{
    if (frame_.size() < 2 || !(writeEnabled_ || volatileEnable)) return;
    const uint8_t op = frame_[0];
    if (op == 0x01) {
        status_[0] = static_cast<uint8_t>(frame_[1] & ~(BusyBit | WriteEnableBit));
        if (frame_.size() >= 3) status_[1] = frame_[2];
    } else {
        status_[op == 0x31 ? 1 : 2] = frame_[1];
    }
    writeEnabled_ = false;
    startBusy(config_.statusWriteTime);
}
