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
    return waitWriteCycle(device, (in_[0] & I2cNackBit) == 0);
}

// The chip does not acknowledge its device byte until its write cycle has ended.
bool Ch341Device::waitWriteCycle(uint8_t device, bool answered)
{
    const uint8_t poll[] = {CmdI2cStream, I2cStart, I2cOut, device, I2cStop, I2cEnd};
    const uint8_t pollReply[] = {1};
    const auto deadline = std::chrono::steady_clock::now() + WriteCycleLimit;
    for (int polls = 0; !answered; ++polls) {
        if (polls >= MinWriteCyclePolls && std::chrono::steady_clock::now() >= deadline) {
            lastStatus_ = UsbStatus::Timeout;
            return false;
        }
        if (!run(poll, pollReply, 1)) return false;
        answered = (in_[0] & I2cNackBit) == 0;
    }
    return true;
}

bool Ch341Device::CH341I2cRandomRead(uint32_t index, std::span<const uint8_t> addressPhase, uint8_t readDevice,
                                     std::span<uint8_t> data)
{
    if (index != AdapterIndex || addressPhase.empty() || addressPhase.size() > 3 || data.empty() ||
        data.size() > I2cMaxReadPerSegment) {
        lastStatus_ = UsbStatus::InvalidArgument;
        return false;
    }
    std::lock_guard lock(mutex_);
    I2cSegmentChain chain(out_, inSizes_);
    chain.start();
    for (const uint8_t byte : addressPhase) chain.sendWithStatus(byte);
    chain.start();
    chain.sendWithStatus(readDevice);
    chain.receive(data.size());
    chain.stop();
    chain.finish();
    const std::size_t statuses = addressPhase.size() + 1;
    if (!run(out_, inSizes_, statuses + data.size())) return false;
    if (std::any_of(in_.begin(), in_.begin() + static_cast<std::ptrdiff_t>(statuses),
                    [](uint8_t status) { return (status & I2cNackBit) != 0; }))
        return false;
    std::copy_n(in_.begin() + static_cast<std::ptrdiff_t>(statuses), data.size(), data.begin());
    return true;
}

// The page, each byte's acknowledgement and the first ACK poll in one exchange.
bool Ch341Device::CH341I2cPageWrite(uint32_t index, std::span<const uint8_t> addressPhase,
                                    std::span<const uint8_t> data, std::size_t& acknowledged)
{
    acknowledged = 0;
    if (index != AdapterIndex || addressPhase.empty() || addressPhase.size() > 3) {
        lastStatus_ = UsbStatus::InvalidArgument;
        return false;
    }
    std::lock_guard lock(mutex_);
    const uint8_t device = static_cast<uint8_t>(addressPhase[0] & ~1u);
    I2cSegmentChain chain(out_, inSizes_);
    chain.start();
    for (const uint8_t byte : addressPhase) chain.sendWithStatus(byte);
    for (const uint8_t byte : data) chain.sendWithStatus(byte);
    chain.stop();
    chain.start();
    chain.sendWithStatus(device);
    chain.stop();
    chain.finish();
    const std::size_t bytes = addressPhase.size() + data.size();
    if (!run(out_, inSizes_, bytes + 1)) return false;
    while (acknowledged < bytes && (in_[acknowledged] & I2cNackBit) == 0) ++acknowledged;
    if (acknowledged < bytes) return false;
    return waitWriteCycle(device, (in_[bytes] & I2cNackBit) == 0);
}
