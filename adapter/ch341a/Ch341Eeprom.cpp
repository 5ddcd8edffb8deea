// The adapter library's 24xx block read and write, built from chained I2C stream segments.

#include "adapter/EepromAddressing.h"
#include "adapter/ch341a/Ch341Device.h"
#include "adapter/ch341a/Ch341Protocol.h"
#include "adapter/ch341a/I2cSegmentChain.h"

#include <algorithm>
#include <chrono>

using namespace ch341;

bool Ch341Device::eepromPieces(uint32_t index, uint8_t eepromType, uint32_t address, std::size_t length, bool write,
                               const std::function<bool(const AddressPhase&, std::size_t, std::size_t)>& piece)
{
    const auto geometry = EepromGeometryOf(eepromType);
    if (index != AdapterIndex || !geometry || length == 0 || address >= geometry->capacity ||
        length > geometry->capacity - address) {
        lastStatus_ = UsbStatus::InvalidArgument;
        return false;
    }
    std::lock_guard lock(mutex_);
    std::size_t done = 0;
    while (done < length) {
        const uint32_t at = address + static_cast<uint32_t>(done);
        // A page write must not wrap inside its page; a sequential read stays inside one device
        // byte's window.
        const std::size_t n =
            write ? std::min<std::size_t>(length - done, geometry->pageSize - at % geometry->pageSize)
                  : std::min<std::size_t>(
                        {length - done, geometry->regionSize - at % geometry->regionSize, EepromReadChunk});
        if (!piece(AddressPhaseOf(at, eepromType), done, n)) return false;
        done += n;
    }
    return true;
}

bool Ch341Device::CH341ReadEEPROM(uint32_t index, uint8_t eepromType, uint32_t address, std::span<uint8_t> buffer)
{
    return eepromPieces(index, eepromType, address, buffer.size(), false,
                        [&](const AddressPhase& phase, std::size_t offset, std::size_t n) {
                            return readEepromChunk(phase, buffer.subspan(offset, n));
                        });
}

bool Ch341Device::readEepromChunk(const AddressPhase& phase, std::span<uint8_t> into)
{
    const uint8_t readDevice = phase.readDeviceByte();
    I2cSegmentChain chain(out_, inSizes_);
    chain.start();
    chain.send(phase.view());
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
    return eepromPieces(index, eepromType, address, buffer.size(), true,
                        [&](const AddressPhase& phase, std::size_t offset, std::size_t n) {
                            return writeEepromPage(phase, buffer.subspan(offset, n));
                        });
}

// One page write, then ACK polling until the chip has finished its write cycle. The first poll
// travels in the same exchange as the page.
bool Ch341Device::writeEepromPage(const AddressPhase& phase, std::span<const uint8_t> data)
{
    const uint8_t device = phase.bytes[0];
    I2cSegmentChain chain(out_, inSizes_);
    chain.start();
    chain.send(phase.view());
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
