#include "adapter/emulator/SpiFlash.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace {
constexpr uint8_t BusyBit = 0x01;
constexpr uint8_t WriteEnableBit = 0x02;
constexpr uint32_t Sector = 4096;
constexpr uint32_t Block32 = 32768;
constexpr uint32_t Block64 = 65536;
} // namespace

SpiFlash::SpiFlash(const EmulatedChipConfig& config, ChipMemory& memory, const EmuClock& clock,
                   std::optional<std::array<uint8_t, 3>> savedStatus)
    : config_(config), memory_(memory), clock_(clock), registers_(config, savedStatus)
{
}

uint8_t SpiFlash::status(int index) const
{
    if (index != 0) return registers_.read(index);
    return static_cast<uint8_t>(registers_.read(0) | (busy() ? BusyBit : 0) | (writeEnabled_ ? WriteEnableBit : 0));
}

void SpiFlash::select()
{
    frame_.clear();
    streaming_ = false;
    busyAtSelect_ = busy();
    asleepAtSelect_ = powerDown_ || clock_.now() < awakeFrom_;
}

uint32_t SpiFlash::frameAddress(std::size_t first, std::size_t count) const
{
    uint32_t address = 0;
    for (std::size_t i = 0; i < count; ++i) address = (address << 8) | frame_[first + i];
    return address;
}

uint32_t SpiFlash::commandAddress() const
{
    if (fourByteMode()) return frameAddress(1, 4);
    const uint32_t high = config_.b9 == B9Command::BankRegisterAccess ? uint32_t(bankRegister_ & 0x7F) << 24 : 0;
    return high | frameAddress(1, 3);
}

uint8_t SpiFlash::transfer(uint8_t mosi)
{
    if (streaming_) {
        // Data phase of a read: the address counts up and wraps at the end of the array.
        const uint8_t byte = memory_.bytes()[readAddress_];
        if (++readAddress_ == memory_.size()) readAddress_ = 0;
        return byte;
    }
    frame_.push_back(mosi);
    const std::size_t position = frame_.size() - 1;
    const uint8_t op = frame_[0];
    // READ (03, 13) and FAST READ (0B, 0C), which takes a dummy byte after the address.
    const bool fourByteOpcode = op == 0x13 || op == 0x0C;
    if ((op == 0x03 || op == 0x0B || fourByteOpcode) && !asleepAtSelect_ && !busyAtSelect_) {
        const std::size_t address = fourByteOpcode ? 4 : addressBytes();
        if (position == address + (op == 0x0B || op == 0x0C ? 1 : 0)) {
            readAddress_ = (fourByteOpcode ? frameAddress(1, 4) : commandAddress()) % memory_.size();
            streaming_ = true;
        }
        return 0xFF;
    }
    return response(position);
}

void SpiFlash::transferBlock(std::span<uint8_t> bytes)
{
    std::size_t done = 0;
    while (done < bytes.size() && !streaming_) {
        bytes[done] = transfer(bytes[done]);
        ++done;
    }
    const auto cells = memory_.bytes();
    while (done < bytes.size()) {
        const std::size_t count = std::min(bytes.size() - done, cells.size() - readAddress_);
        std::copy_n(cells.begin() + static_cast<std::ptrdiff_t>(readAddress_), count,
                    bytes.begin() + static_cast<std::ptrdiff_t>(done));
        done += count;
        readAddress_ = (readAddress_ + count) % cells.size();
    }
}

// The byte the chip shifts out at `position` of a command other than a read, from the bytes
// it received before it.
uint8_t SpiFlash::response(std::size_t position) const
{
    if (position == 0) return 0xFF;
    const uint8_t op = frame_[0];
    // Asleep, the output floats high; AB may wake the chip, and reads the id as it does so.
    if (asleepAtSelect_ && !(op == 0xAB && powerDown_)) return 0xFF;
    switch (op) {
    case 0x05: return status(0);
    case 0x35: return status(1);
    case 0x15: return status(2);
    default: break;
    }
    if (busyAtSelect_) return 0xFF;
    switch (op) {
    case 0x9F: return position <= config_.jedecId.size() ? config_.jedecId[position - 1] : 0xFF;
    case 0xAB: return position >= 4 ? config_.resId[(position - 4) % 2] : 0xFF;
    case 0x90: return position >= 4 ? config_.remsId[((position - 4) + (frame_[3] & 1)) % 2] : 0xFF;
    case 0x4B: return position >= 5 && position < 13 ? config_.uniqueId[position - 5] : 0xFF;
    case 0x5A: return position >= 5 ? sfdpByte(frameAddress(1, 3) + uint32_t(position - 5)) : 0xFF;
    case 0x16: return config_.b9 == B9Command::BankRegisterAccess ? bankRegister_ : 0xFF;
    case 0x3C:
        return position >= 4 && config_.protection == FlashProtection::At25dfSectors
                   ? (registers_.sectorProtected(frameAddress(1, 3)) ? 0xFF : 0x00)
                   : 0xFF;
    default: return 0xFF;
    }
}

uint8_t SpiFlash::sfdpByte(uint32_t address) const
{
    const auto& table = config_.sfdp;
    if (table.empty()) return 0xFF;
    const std::size_t space = std::max<std::size_t>(256, std::bit_ceil(table.size()));
    const std::size_t offset = address % space;
    return offset < table.size() ? table[offset] : 0xFF;
}

void SpiFlash::deselect()
{
    if (!frame_.empty()) execute();
    frame_.clear();
    streaming_ = false;
}

void SpiFlash::execute()
{
    const uint8_t op = frame_[0];
    if (powerDown_) {
        if (op == 0xAB) {
            powerDown_ = false;
            awakeFrom_ = clock_.now() + config_.powerDownReleaseTime;
        }
        return;
    }
    if (asleepAtSelect_) return; // still waking up
    if (busyAtSelect_) return;   // a busy chip only answers status reads
    if (aai_ && op != 0xAD && op != 0x04) return;
    // 50 enables only the status write that immediately follows it; B9 arms the bank register
    // likewise.
    const bool volatileEnable = std::exchange(volatileStatusEnabled_, false);
    const bool bankAccess = std::exchange(bankAccess_, false);
    if (bankAccess && op == 0x01) {
        if (frame_.size() >= 2) bankRegister_ = frame_[1];
        return;
    }
    if (executeRegisterCommand(op, volatileEnable)) return;

    const std::size_t length = frame_.size();
    const std::size_t bytes = addressBytes();
    if (!writeEnabled_) return;
    switch (op) {
    case 0x02:
        if (length > bytes + 1) program(commandAddress(), bytes + 1);
        return;
    case 0x12:
        if (length > 5) program(frameAddress(1, 4), 5);
        return;
    case 0x20:
        if (length == bytes + 1) erase(commandAddress(), Sector, config_.sectorEraseTime);
        return;
    case 0x21:
        if (length == 5) erase(frameAddress(1, 4), Sector, config_.sectorEraseTime);
        return;
    case 0x52:
        if (length == bytes + 1) erase(commandAddress(), Block32, config_.blockEraseTime);
        return;
    case 0xD8:
        if (length == bytes + 1) erase(commandAddress(), Block64, config_.blockEraseTime);
        return;
    case 0xDC:
        if (length == 5) erase(frameAddress(1, 4), Block64, config_.blockEraseTime);
        return;
    case 0xC7:
    case 0x60:
        if (length == 1) erase(0, static_cast<uint32_t>(memory_.size()), config_.chipEraseTime);
        return;
    case 0x36:
    case 0x39:
        // AT25DF sector protection: WEL is cleared whether or not the command was taken.
        if (length == 4) registers_.setSectorProtection(frameAddress(1, 3), op == 0x36);
        writeEnabled_ = false;
        return;
    case 0xAD:
        if (config_.autoAddressIncrement) programAai();
        return;
    case 0x98:
        if (length == 1 && registers_.unlockAllBlocks()) writeEnabled_ = false;
        return;
    default: return;
    }
}

// Commands that need no write enable of their own; false for any other opcode.
bool SpiFlash::executeRegisterCommand(uint8_t op, bool volatileEnable)
{
    switch (op) {
    case 0x06: writeEnabled_ = true; return true;
    case 0x04:
        writeEnabled_ = false;
        aai_ = false;
        return true;
    case 0x50: volatileStatusEnabled_ = true; return true;
    case 0xB7: fourByte_ = true; return true;
    case 0xE9: fourByte_ = false; return true;
    case 0xB9:
        if (frame_.size() != 1) return true;
        if (config_.b9 == B9Command::DeepPowerDown) powerDown_ = true;
        if (config_.b9 == B9Command::BankRegisterAccess) bankAccess_ = true;
        return true;
    case 0x17:
        if (config_.b9 == B9Command::BankRegisterAccess && frame_.size() >= 2) bankRegister_ = frame_[1];
        return true;
    case 0x01:
    case 0x31:
    case 0x11: writeStatus(volatileEnable); return true;
    default: return false;
    }
}

void SpiFlash::programAai()
{
    const std::size_t length = frame_.size();
    std::size_t dataStart = 1;
    if (!aai_) {
        if (length != 6) return;
        aaiAddress_ = frameAddress(1, 3) & ~1u;
        dataStart = 4;
    } else if (length != 3) {
        return;
    }
    const uint32_t address = aaiAddress_ % static_cast<uint32_t>(memory_.size());
    if (!registers_.isProtected(address, 2)) {
        auto cells = memory_.bytes();
        cells[address] &= frame_[dataStart];
        cells[(address + 1) % cells.size()] &= frame_[dataStart + 1];
        memory_.markChanged();
    }
    aai_ = true;
    aaiAddress_ += 2;
    startBusy(config_.aaiWordTime);
}

void SpiFlash::program(uint32_t address, std::size_t dataStart)
{
    writeEnabled_ = false;
    const uint32_t page = config_.pageSize;
    const uint32_t base = address % static_cast<uint32_t>(memory_.size()) / page * page;
    if (registers_.isProtected(base, page)) return;
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
    if (registers_.isProtected(base, length)) return;
    auto cells = memory_.bytes();
    std::fill(cells.begin() + base, cells.begin() + base + length, 0xFF);
    memory_.markChanged();
    startBusy(duration);
}

void SpiFlash::writeStatus(bool volatileEnable)
{
    if (frame_.size() < 2 || !(writeEnabled_ || volatileEnable)) return;
    const uint8_t op = frame_[0];
    const int index = op == 0x01 ? 0 : op == 0x31 ? 1 : 2;
    const bool volatileCopy = volatileEnable && registers_.volatileEnableSelectsCopy();
    const bool written = registers_.write(index, std::span<const uint8_t>(frame_).subspan(1), volatileCopy);
    writeEnabled_ = false;
    if (written && !volatileCopy) startBusy(config_.statusWriteTime);
}
