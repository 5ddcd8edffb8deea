#include "spi25/SpiProgrammer.h"

#include "spi25/SpiFrames.h"
#include "spi25/SpiOpcodes.h"

#include <algorithm>

namespace spi25 {

family::Result PageProgrammer::program(uint32_t address, std::span<const uint8_t> data)
{
    if (data.empty() || data.size() + MaxHeader > spi_.largestFrame())
        return family::Failure{family::Failure::Cause::BadRequest, address};
    frame_.resize(MaxHeader + data.size());
    const std::size_t headerLength = FrameHeader(mode_, true, address, frame_.data());
    if (headerLength == 0) return family::Failure{family::Failure::Cause::BadRequest, address};
    std::copy(data.begin(), data.end(), frame_.begin() + std::ptrdiff_t(headerLength));
    frame_.resize(headerLength + data.size());

    polls_.count = std::clamp<std::size_t>(polls_.count, 1, PagePolls::Max);
    static constexpr uint8_t writeEnable = op::WriteEnable, enter4Byte = op::Enter4ByteMode,
                             readStatus = op::ReadStatus1;
    std::array<bus::SpiFrame, 3 + PagePolls::Max> frames;
    std::size_t count = 0;
    frames[count++] = {std::span<const uint8_t>(&writeEnable, 1), {}};
    if (mode_ == SpiAddress4Mode) frames[count++] = {std::span<const uint8_t>(&enter4Byte, 1), {}};
    frames[count++] = {frame_, {}};
    for (std::size_t i = 0; i < polls_.count; ++i)
        frames[count++] = {std::span<const uint8_t>(&readStatus, 1), std::span<uint8_t>(&statuses_[i], 1)};
    if (!spi_.transfer(std::span(frames.data(), count))) return LinkFailure(spi_, address);

    const auto first = std::find_if(statuses_.begin(), statuses_.begin() + std::ptrdiff_t(polls_.count),
                                    [](uint8_t status) { return (status & op::StatusBusy) == 0; });
    const auto needed = static_cast<std::size_t>(first - statuses_.begin()) + 1;
    if (needed <= polls_.count) {
        polls_.count = std::max(needed, polls_.count - 1);
        return family::Result::done();
    }
    polls_.count = std::min(polls_.count + 1, PagePolls::Max);
    family::Result ready = WaitReady(spi_, ShortOperation);
    if (!ready) {
        family::Failure failure = ready.failure();
        failure.address = address;
        return failure;
    }
    return ready;
}

family::Result ProgramAai(bus::SpiMaster& spi, uint32_t address, std::span<const uint8_t, AaiBlock> data)
{
    constexpr std::size_t Words = AaiBlock / 2;
    const std::array<uint8_t, 6> first{
        op::AaiWordProgram, uint8_t(address >> 16), uint8_t(address >> 8), uint8_t(address), data[0], data[1]};
    std::array<std::array<uint8_t, 3>, Words - 1> words;
    static constexpr uint8_t writeEnable = op::WriteEnable, writeDisable = op::WriteDisable,
                             readStatus = op::ReadStatus1;
    uint8_t status = 0;
    std::array<bus::SpiFrame, Words + 3> frames;
    std::size_t count = 0;
    frames[count++] = {std::span<const uint8_t>(&writeEnable, 1), {}};
    frames[count++] = {first, {}};
    for (std::size_t w = 1; w < Words; ++w) {
        words[w - 1] = {op::AaiWordProgram, data[2 * w], data[2 * w + 1]};
        frames[count++] = {words[w - 1], {}};
    }
    frames[count++] = {std::span<const uint8_t>(&writeDisable, 1), {}};
    frames[count++] = {std::span<const uint8_t>(&readStatus, 1), std::span<uint8_t>(&status, 1)};
    if (!spi.transfer(std::span(frames.data(), count), AaiWordTime)) return LinkFailure(spi, address);
    if ((status & op::StatusBusy) == 0) return family::Result::done();
    family::Result ready = WaitReady(spi, ShortOperation);
    if (!ready) {
        family::Failure failure = ready.failure();
        failure.address = address;
        return failure;
    }
    return ready;
}

} // namespace spi25
