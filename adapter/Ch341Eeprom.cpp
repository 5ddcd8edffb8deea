// The adapter library's 24xx block read and write, built from chained I2C stream segments.

#include "adapter/Ch341Device.h"
#include "adapter/Ch341Protocol.h"
#include "adapter/EepromAddressing.h"
#include "adapter/I2cSegmentChain.h"

#include <algorithm>
#include <chrono>
#include <optional>

using namespace ch341;

namespace {

std::optional<EepromGeometry> checkedGeometry(uint8_t eepromType, uint32_t address, std::size_t length)
{
    auto geometry = EepromGeometryOf(eepromType);
    if (!geometry || length == 0 || address >= geometry->capacity ||
        length > geometry->capacity - address)
        return std::nullopt;
    return geometry;
}

// Device byte and memory address bytes of the address phase.
std::size_t addressPhase(const EepromGeometry& geometry, uint32_t address, uint8_t (&bytes)[3])
{
    bytes[0] = EepromDeviceByte(geometry, address);
    if (geometry.addressBytes == 2) {
        bytes[1] = static_cast<uint8_t>(address >> 8);
        bytes[2] = static_cast<uint8_t>(address);
        return 3;
    }
    bytes[1] = static_cast<uint8_t>(address);
    return 2;
}

constexpr auto PollPause = std::chrono::milliseconds(1);

} // namespace

bool Ch341Device::CH341ReadEEPROM(uint32_t index, uint8_t eepromType, uint32_t address,
                                  std::span<uint8_t> buffer)
{
    const auto geometry = checkedGeometry(eepromType, address, buffer.size());
    if (index != AdapterIndex || !geometry) {
        lastStatus_ = UsbStatus::InvalidArgument;
        return false;
    }
    std::lock_guard lock(mutex_);
    std::size_t done = 0;
    while (done < buffer.size()) {
        const uint32_t at = address + static_cast<uint32_t>(done);
        // A sequential read stays inside one device byte's window.
        const uint32_t windowLeft = geometry->regionSize - at % geometry->regionSize;
        const std::size_t n = std::min<std::size_t>({buffer.size() - done, windowLeft, EepromReadChunk});
        if (!readEepromChunk(*geometry, at, buffer.subspan(done, n))) return false;
        done += n;
    }
    return true;
}

bool Ch341Device::readEepromChunk(const EepromGeometry& geometry, uint32_t address, std::span<uint8_t> into)
{
    uint8_t phase[3];
    const std::size_t phaseLength = addressPhase(geometry, address, phase);
    const uint8_t readDevice = static_cast<uint8_t>(phase[0] | 1);

    I2cSegmentChain chain(out_, inSizes_);
    chain.start();
    chain.send(std::span<const uint8_t>(phase, phaseLength));
    chain.start();
    chain.send(std::span<const uint8_t>(&readDevice, 1));
    chain.receive(into.size());
    chain.stop();
    chain.finish();
    if (!run(out_, inSizes_, into.size())) return false;
    std::copy_n(in_.begin(), into.size(), into.begin());
    return true;
}

bool Ch341Device::CH341WriteEEPROM(uint32_t index, uint8_t eepromType, uint32_t address,
                                   std::span<const uint8_t> buffer)
{
    const auto geometry = checkedGeometry(eepromType, address, buffer.size());
    if (index != AdapterIndex || !geometry) {
        lastStatus_ = UsbStatus::InvalidArgument;
        return false;
    }
    std::lock_guard lock(mutex_);
    std::size_t done = 0;
    while (done < buffer.size()) {
        const uint32_t at = address + static_cast<uint32_t>(done);
        const uint32_t pageLeft = geometry->pageSize - at % geometry->pageSize;
        const std::size_t n = std::min<std::size_t>(buffer.size() - done, pageLeft);
        if (!writeEepromPage(*geometry, at, buffer.subspan(done, n))) return false;
        done += n;
    }
    return true;
}

// One page write, then ACK polling until the chip has finished its write cycle. The first poll
// travels in the same exchange as the page.
bool Ch341Device::writeEepromPage(const EepromGeometry& geometry, uint32_t address,
                                  std::span<const uint8_t> data)
{
    uint8_t phase[3];
    const std::size_t phaseLength = addressPhase(geometry, address, phase);
    const uint8_t device = phase[0];

    I2cSegmentChain chain(out_, inSizes_);
    chain.start();
    chain.send(std::span<const uint8_t>(phase, phaseLength));
    chain.send(data);
    chain.stop();
    chain.start();
    chain.sendWithStatus(device);
    chain.stop();
    chain.finish();
    if (!run(out_, inSizes_, 1)) return false;

    const uint8_t poll[] = {CmdI2cStream, I2cStart, I2cOut, device, I2cStop, I2cEnd};
    const uint8_t pollReply[] = {1};
    for (int attempt = 0; (in_[0] & I2cNackBit) != 0; ++attempt) {
        if (attempt == MaxWriteCyclePolls) {
            lastStatus_ = UsbStatus::Timeout;
            return false;
        }
        transport_->pause(PollPause);
        if (!run(poll, pollReply, 1)) return false;
    }
    return true;
}
