#include "spi25/SpiFrames.h"

#include "spi25/SpiOpcodes.h"

#include <algorithm>

namespace spi25 {

std::size_t FrameHeader(SpiAddressMode mode, bool program, uint32_t address, uint8_t* out)
{
    auto put = [&](uint8_t opcode, int addressBytes) {
        out[0] = opcode;
        for (int i = 0; i < addressBytes; ++i)
            out[1 + i] = static_cast<uint8_t>(address >> (8 * (addressBytes - 1 - i)));
        return std::size_t(1 + addressBytes);
    };
    const uint8_t base = program ? op::PageProgram : op::Read;
    switch (mode) {
    case SpiAddress3: return put(base, 3);
    case SpiAddress2: return put(base, 2);
    case SpiAddress1: return put(static_cast<uint8_t>(base | ((address >> 5) & op::EepromHighHalf)), 1);
    case SpiAddress4Mode: return put(program ? op::PageProgram : op::Read4Byte, 4);
    case SpiAddress4Opcode: return put(program ? op::PageProgram4Byte : op::Read4Byte, 4);
    }
    return 0;
}

bool Command(bus::SpiMaster& spi, std::initializer_list<uint8_t> bytes)
{
    return spi.transfer(bus::SpiFrame{std::span<const uint8_t>(bytes.begin(), bytes.size()), {}});
}

bool ReadRegister(bus::SpiMaster& spi, uint8_t opcode, uint8_t& value)
{
    uint8_t in = 0;
    if (!spi.transfer(bus::SpiFrame{std::span<const uint8_t>(&opcode, 1), std::span<uint8_t>(&in, 1)})) return false;
    value = in;
    return true;
}

namespace {
template <std::size_t N>
bool Identify(bus::SpiMaster& spi, std::initializer_list<uint8_t> head, std::array<uint8_t, N>& id)
{
    std::array<uint8_t, N> in{};
    if (!spi.transfer(bus::SpiFrame{std::span<const uint8_t>(head.begin(), head.size()), in})) return false;
    id = in;
    return true;
}
} // namespace

bool ReadJedecId(bus::SpiMaster& spi, std::array<uint8_t, 3>& id)
{
    return Identify(spi, {op::JedecId}, id);
}

bool ReadResId(bus::SpiMaster& spi, std::array<uint8_t, 2>& id)
{
    return Identify(spi, {op::ResId, 0x00, 0x00, 0x00}, id);
}

bool ReadRemsId(bus::SpiMaster& spi, std::array<uint8_t, 2>& id)
{
    return Identify(spi, {op::RemsId, 0x00, 0x00, 0x00}, id);
}

bool ReadUniqueId(bus::SpiMaster& spi, std::array<uint8_t, 8>& id)
{
    return Identify(spi, {op::UniqueId, 0x00, 0x00, 0x00, 0x00}, id);
}

BusyLimit ChipEraseLimit(uint32_t chipSize)
{
    const auto perMiB = std::chrono::milliseconds(15000);
    const auto scaled = perMiB * ((uint64_t(chipSize) + (1u << 20) - 1) >> 20);
    return {std::max(std::chrono::milliseconds(60000), std::chrono::duration_cast<std::chrono::milliseconds>(scaled)),
            std::chrono::milliseconds(100)};
}

family::Failure LinkFailure(const bus::SpiMaster& spi, uint32_t address)
{
    family::Failure failure{family::Failure::Cause::Link, address};
    failure.link = spi.lastStatus();
    return failure;
}

family::Result WaitReady(bus::SpiMaster& spi, BusyLimit limit, family::Progress* progress)
{
    const auto start = spi.now();
    for (;;) {
        uint8_t status = 0;
        if (!ReadRegister(spi, op::ReadStatus1, status)) return LinkFailure(spi, 0);
        if ((status & op::StatusBusy) == 0) return family::Result::done();
        const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(spi.now() - start);
        if (waited >= limit.limit) {
            family::Failure failure{family::Failure::Cause::StayedBusy};
            failure.waited = waited;
            return failure;
        }
        if (progress) {
            progress->tick();
            if (progress->cancelRequested()) return family::Failure{family::Failure::Cause::Cancelled};
        }
        if (limit.pollPause.count() > 0) spi.pause(limit.pollPause);
    }
}

} // namespace spi25
