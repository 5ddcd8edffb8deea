#include "adapter/Uch_spi.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

constexpr uint8_t OpWriteEnable = 0x06;
constexpr uint8_t OpWriteDisable = 0x04;
constexpr uint8_t OpReadStatus1 = 0x05;
constexpr uint8_t OpWriteStatus1 = 0x01;
constexpr uint8_t OpEnableStatusWrite = 0x50;
constexpr uint8_t OpEnter4Byte = 0xB7;
constexpr uint8_t OpAai = 0xAD;
constexpr std::size_t MaxHeader = 5;
constexpr std::size_t MaxPage = 65536;

bool frame(Ch341Library& library, std::span<uint8_t> bytes)
{
    return library.CH341StreamSPI4(AdapterIndex, SpiChipSelect0, bytes);
}

bool command(Ch341Library& library, std::initializer_list<uint8_t> bytes)
{
    uint8_t buffer[8];
    std::copy(bytes.begin(), bytes.end(), buffer);
    return frame(library, std::span<uint8_t>(buffer, bytes.size()));
}

// Writes opcode and address bytes of a read (or program) frame; 0 for an unknown mode.
std::size_t header(SpiAddressMode mode, bool program, uint32_t address, uint8_t* out)
{
    auto put = [&](uint8_t opcode, int addressBytes) {
        out[0] = opcode;
        for (int i = 0; i < addressBytes; ++i)
            out[1 + i] = static_cast<uint8_t>(address >> (8 * (addressBytes - 1 - i)));
        return std::size_t(1 + addressBytes);
    };
    const uint8_t base = program ? 0x02 : 0x03;
    switch (mode) {
    case SpiAddress3: return put(base, 3);
    case SpiAddress2: return put(base, 2);
    case SpiAddress1: return put(static_cast<uint8_t>(base | ((address >> 5) & 0x08)), 1);
    case SpiAddress4Mode: return put(program ? 0x02 : 0x13, 4);
    case SpiAddress4Opcode: return put(program ? 0x12 : 0x13, 4);
    }
    return 0;
}

template <std::size_t N>
bool identify(Ch341Library& library, uint8_t mode, std::initializer_list<uint8_t> head, std::array<uint8_t, N>& id)
{
    std::array<uint8_t, 5 + N> buffer{};
    std::copy(head.begin(), head.end(), buffer.begin());
    const std::size_t length = head.size() + N;
    if (!library.CH341SetStream(AdapterIndex, mode) || !frame(library, std::span<uint8_t>(buffer.data(), length)))
        return false;
    std::copy_n(buffer.begin() + static_cast<std::ptrdiff_t>(head.size()), N, id.begin());
    return true;
}

} // namespace

std::chrono::milliseconds SpiEraseTimeout(uint32_t chipSize)
{
    const auto perMiB = std::chrono::milliseconds(15000);
    const auto scaled = perMiB * ((uint64_t(chipSize) + (1u << 20) - 1) >> 20);
    return std::max(std::chrono::milliseconds(60000), std::chrono::duration_cast<std::chrono::milliseconds>(scaled));
}

bool SPIReadJedecId(Ch341Library& library, std::array<uint8_t, 3>& id)
{
    return identify(library, SpiStreamIdentify, {0x9F}, id);
}

bool SPIReadResId(Ch341Library& library, std::array<uint8_t, 2>& id)
{
    return identify(library, SpiStreamIdentify, {0xAB, 0x00, 0x00, 0x00}, id);
}

bool SPIReadRemsId(Ch341Library& library, std::array<uint8_t, 2>& id)
{
    return identify(library, SpiStreamIdentify, {0x90, 0x00, 0x00, 0x00}, id);
}

bool SPIReadUniqueId(Ch341Library& library, std::array<uint8_t, 8>& id)
{
    return identify(library, SpiStreamTransfer, {0x4B, 0x00, 0x00, 0x00, 0x00}, id);
}

bool SPIReadRegister(Ch341Library& library, uint8_t opcode, uint8_t& value)
{
    uint8_t buffer[2] = {opcode, 0x00};
    if (!library.CH341SetStream(AdapterIndex, SpiStreamTransfer) || !frame(library, buffer)) return false;
    value = buffer[1];
    return true;
}

bool SPIWaitReady(Ch341Library& library, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        uint8_t status = 0;
        if (!SPIReadRegister(library, OpReadStatus1, status)) return false;
        if ((status & 0x01) == 0) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
    }
}

bool SPIWriteRegister(Ch341Library& library, uint8_t opcode, uint8_t value)
{
    return library.CH341SetStream(AdapterIndex, SpiStreamTransfer) && command(library, {OpWriteEnable}) &&
           command(library, {opcode, value}) && SPIWaitReady(library) && command(library, {OpWriteDisable});
}

bool SPIWriteStatusPair(Ch341Library& library, uint8_t sr1, uint8_t sr2)
{
    return library.CH341SetStream(AdapterIndex, SpiStreamTransfer) && command(library, {OpWriteEnable}) &&
           command(library, {OpWriteStatus1, sr1, sr2}) && command(library, {OpWriteDisable});
}

bool SPIWriteStatusEWSR(Ch341Library& library, uint8_t opcode, uint8_t value)
{
    return library.CH341SetStream(AdapterIndex, SpiStreamTransfer) && command(library, {OpWriteEnable}) &&
           command(library, {OpEnableStatusWrite}) && command(library, {opcode, value}) && SPIWaitReady(library) &&
           command(library, {OpWriteDisable});
}

bool SPIReadBlock(Ch341Library& library, uint32_t address, std::span<uint8_t> destination, SpiAddressMode mode)
{
    if (destination.empty() || destination.size() > SpiMaxReadBlock) return false;
    SpiBlockReader reader(library, mode, static_cast<uint32_t>(destination.size()),
                          address + static_cast<uint32_t>(destination.size()));
    return reader.read(address, destination);
}

struct SpiBlockReader::Frame {
    std::array<uint8_t, MaxHeader + SpiMaxReadBlock> bytes;
    std::size_t headerLength = 0;
    uint32_t address = 0;
    uint64_t ticket = 0; // 0: nothing queued
};

SpiBlockReader::SpiBlockReader(Ch341Library& library, SpiAddressMode mode, uint32_t blockSize, uint32_t end)
    : library_(library), mode_(mode), blockSize_(blockSize), end_(end), frames_(std::make_unique<Frame[]>(2))
{
}

SpiBlockReader::~SpiBlockReader()
{
    for (std::size_t i = 0; i < 2; ++i)
        if (frames_[i].ticket != 0) library_.CH341StreamSPI4Wait(AdapterIndex, frames_[i].ticket);
}

bool SpiBlockReader::queue(Frame& frame, uint32_t address)
{
    frame.headerLength = header(mode_, false, address, frame.bytes.data());
    if (frame.headerLength == 0) return false;
    std::fill_n(frame.bytes.begin() + static_cast<std::ptrdiff_t>(frame.headerLength), blockSize_, 0x00);
    frame.address = address;
    frame.ticket = library_.CH341StreamSPI4Begin(
        AdapterIndex, SpiChipSelect0, std::span<uint8_t>(frame.bytes.data(), frame.headerLength + blockSize_));
    return frame.ticket != 0;
}

bool SpiBlockReader::read(uint32_t address, std::span<uint8_t> destination)
{
    if (blockSize_ == 0 || blockSize_ > SpiMaxReadBlock || destination.size() != blockSize_) return false;
    Frame& frame = frames_[current_];
    if (frame.ticket == 0 && !queue(frame, address)) return false;
    if (frame.address != address) return false;
    current_ ^= 1;
    if (uint64_t(address) + 2 * uint64_t(blockSize_) <= end_ && frames_[current_].ticket == 0)
        queue(frames_[current_], address + blockSize_); // a failure shows when that block is read

    const uint64_t ticket = std::exchange(frame.ticket, 0);
    if (!library_.CH341StreamSPI4Wait(AdapterIndex, ticket)) return false;
    std::copy_n(frame.bytes.begin() + static_cast<std::ptrdiff_t>(frame.headerLength), blockSize_, destination.begin());
    return true;
}

bool SPIProgramPage(Ch341Library& library, uint32_t address, std::span<const uint8_t> data, SpiAddressMode mode,
                    SpiPagePolls* pacing)
{
    if (data.empty() || data.size() > MaxPage) return false;
    std::vector<uint8_t> page(MaxHeader + data.size());
    const std::size_t headerLength = header(mode, true, address, page.data());
    if (headerLength == 0) return false;
    std::copy(data.begin(), data.end(), page.begin() + static_cast<std::ptrdiff_t>(headerLength));
    page.resize(headerLength + data.size());

    SpiPagePolls fixed;
    SpiPagePolls& polls = pacing ? *pacing : fixed;
    polls.count = std::clamp<std::size_t>(polls.count, 1, SpiPagePolls::Max);
    uint8_t writeEnable = OpWriteEnable, enter4Byte = OpEnter4Byte;
    std::array<std::array<uint8_t, 2>, SpiPagePolls::Max> statuses;
    std::vector<std::span<uint8_t>> frames{{&writeEnable, 1}};
    if (mode == SpiAddress4Mode) frames.emplace_back(&enter4Byte, 1);
    frames.emplace_back(page);
    for (std::size_t i = 0; i < polls.count; ++i) frames.emplace_back(statuses[i] = {OpReadStatus1, 0x00});
    if (!library.CH341StreamSPI4Chain(AdapterIndex, SpiChipSelect0, frames)) return false;

    const auto first = std::find_if(statuses.begin(), statuses.begin() + static_cast<std::ptrdiff_t>(polls.count),
                                    [](const auto& status) { return (status[1] & 0x01) == 0; });
    const auto needed = static_cast<std::size_t>(first - statuses.begin()) + 1;
    if (needed <= polls.count) {
        polls.count = std::max(needed, polls.count - 1);
        return true;
    }
    polls.count = std::min(polls.count + 1, SpiPagePolls::Max);
    return SPIWaitReady(library);
}

bool SPIProgramAAI(Ch341Library& library, uint32_t address, std::span<const uint8_t, SpiAaiBlock> data)
{
    constexpr std::size_t Words = SpiAaiBlock / 2;
    std::array<uint8_t, 6> first{OpAai,  uint8_t(address >> 16), uint8_t(address >> 8), uint8_t(address), data[0],
                                 data[1]};
    std::array<std::array<uint8_t, 3>, Words - 1> words;
    uint8_t writeEnable = OpWriteEnable, writeDisable = OpWriteDisable;
    std::array<uint8_t, 2> poll{OpReadStatus1, 0x00};

    std::vector<std::span<uint8_t>> frames{{&writeEnable, 1}, first};
    for (std::size_t w = 1; w < Words; ++w) frames.emplace_back(words[w - 1] = {OpAai, data[2 * w], data[2 * w + 1]});
    frames.emplace_back(&writeDisable, 1);
    frames.emplace_back(poll);
    if (!library.CH341StreamSPI4Chain(AdapterIndex, SpiChipSelect0, frames, SpiAaiWordTime)) return false;
    return (poll[1] & 0x01) == 0 || SPIWaitReady(library);
}
