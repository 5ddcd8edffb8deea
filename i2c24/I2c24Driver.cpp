#include "i2c24/I2c24Driver.h"

#include <algorithm>
#include <array>
#include <memory>
#include <optional>

namespace i2c24 {

using family::Failure;
using family::Result;

I2c24Driver::I2c24Driver(chipdb::Chip chip, bus::I2cMaster& i2c, uint8_t slaveAddress, bool checkAcknowledge)
    : ChipDriver(std::move(chip)), i2c_(i2c), deviceBase_(this->chip().fixedDeviceAddress.value_or(slaveAddress)),
      checkAcknowledge_(checkAcknowledge)
{
}

family::Capabilities I2c24Driver::capabilities() const
{
    return {};
}

Result I2c24Driver::identify(family::Identity& identity)
{
    identity = {};
    return Result::done();
}

Result I2c24Driver::erase(family::Progress&)
{
    return Failure{Failure::Cause::BadRequest};
}

Failure I2c24Driver::linkFailure(uint32_t address) const
{
    Failure failure{Failure::Cause::Link, address};
    failure.link = i2c_.lastStatus();
    return failure;
}

Result I2c24Driver::read(uint32_t address, std::span<uint8_t> into, family::Progress& progress)
{
    if (uint64_t(address) + into.size() > chip().size || chip().eepromType >= EepromTypeCount)
        return Failure{Failure::Cause::BadRequest, address};
    return checkAcknowledge_ ? readChecked(address, into, progress) : readFast(address, into, progress);
}

Result I2c24Driver::randomRead(uint32_t address, std::span<uint8_t> into)
{
    const AddressPhase phase = AddressPhaseOf(address, chip().eepromType, deviceBase_);
    if (phase.length == 0) return Failure{Failure::Cause::BadRequest, address};
    const uint8_t readDevice = phase.readDeviceByte();
    bus::I2cTransaction transaction;
    transaction.start().write(phase.view()).start().write(std::span(&readDevice, 1)).read(into).stop();
    std::array<bool, 4> acknowledged{};
    if (!i2c_.run(transaction, acknowledged)) return linkFailure(address);
    const std::size_t sent = phase.length + 1u;
    const auto refused = std::find(acknowledged.begin(), acknowledged.begin() + std::ptrdiff_t(sent), false);
    if (refused != acknowledged.begin() + std::ptrdiff_t(sent)) {
        Failure failure{Failure::Cause::NotAcknowledged, address};
        failure.byte = uint32_t(refused - acknowledged.begin());
        return failure;
    }
    return Result::done();
}

Result I2c24Driver::readChecked(uint32_t address, std::span<uint8_t> into, family::Progress& progress)
{
    std::array<uint8_t, ReadBlock> block;
    const std::size_t whole = into.size() / ReadBlock * ReadBlock;
    for (std::size_t offset = 0; offset < whole; offset += ReadBlock) {
        if (progress.cancelRequested()) return Failure{Failure::Cause::Cancelled, uint32_t(address + offset)};
        if (Result result = randomRead(uint32_t(address + offset), block); !result) return result;
        std::copy(block.begin(), block.end(), into.begin() + std::ptrdiff_t(offset));
        progress.advance(ReadBlock);
    }
    return Result::done();
}

Result I2c24Driver::readFast(uint32_t address, std::span<uint8_t> into, family::Progress& progress)
{
    const auto geometry = EepromGeometryOf(chip().eepromType);
    for (std::size_t done = 0; done < into.size();) {
        if (progress.cancelRequested()) return Failure{Failure::Cause::Cancelled, uint32_t(address + done)};
        const auto at = uint32_t(address + done);
        // A sequential read stays inside what one device byte reaches.
        const std::size_t n = std::min<std::size_t>(
            {into.size() - done, geometry->regionSize - at % geometry->regionSize, FastReadChunk});
        const AddressPhase phase = AddressPhaseOf(at, chip().eepromType, deviceBase_);
        const uint8_t readDevice = phase.readDeviceByte();
        bus::I2cTransaction transaction;
        transaction.start()
            .writeUnchecked(phase.view())
            .start()
            .writeUnchecked(std::span(&readDevice, 1))
            .read(into.subspan(done, n))
            .stop();
        if (!i2c_.run(transaction, {})) return linkFailure(at);
        done += n;
        progress.advance(n);
    }
    return Result::done();
}

Result I2c24Driver::program(uint32_t address, std::span<const uint8_t> data, family::Progress& progress)
{
    const uint32_t page = checkAcknowledge_ ? chip().pageSize : EepromGeometryOf(chip().eepromType)->pageSize;
    if (page == 0 || chip().eepromType >= EepromTypeCount || uint64_t(address) + data.size() > chip().size)
        return Failure{Failure::Cause::BadRequest, address};
    for (std::size_t offset = 0; offset < data.size();) {
        const auto at = uint32_t(address + offset);
        if (progress.cancelRequested()) return Failure{Failure::Cause::Cancelled, at};
        // A page write must not run past its page: the chip would wrap inside it.
        const std::size_t n = std::min<std::size_t>(data.size() - offset, page - at % page);
        if (Result result = writePage(at, data.subspan(offset, n)); !result) return result;
        offset += n;
        progress.advance(n);
    }
    return Result::done();
}

// The page with every byte's acknowledgement (or none on the fast path) and the first poll of the
// write cycle in one exchange.
Result I2c24Driver::writePage(uint32_t address, std::span<const uint8_t> data)
{
    const AddressPhase phase = AddressPhaseOf(address, chip().eepromType, deviceBase_);
    if (phase.length == 0) return Failure{Failure::Cause::BadRequest, address};
    const uint8_t device = phase.bytes[0];
    bus::I2cTransaction transaction;
    transaction.start();
    if (checkAcknowledge_)
        transaction.write(phase.view()).write(data);
    else
        transaction.writeUnchecked(phase.view()).writeUnchecked(data);
    transaction.stop().start().write(std::span(&device, 1)).stop();
    const std::span<bool> flags = acknowledgements(transaction.checkedBytes());
    if (!i2c_.run(transaction, flags)) return linkFailure(address);
    const std::size_t sent = flags.size() - 1; // the poll's device byte is the last
    const auto refused = std::find(flags.begin(), flags.begin() + std::ptrdiff_t(sent), false);
    if (refused != flags.begin() + std::ptrdiff_t(sent)) {
        const auto index = std::size_t(refused - flags.begin());
        // A refused address byte names the page; a refused data byte the byte itself.
        Failure failure{Failure::Cause::NotAcknowledged,
                        index < phase.length ? address : uint32_t(address + index - phase.length)};
        failure.byte = uint32_t(index);
        return failure;
    }
    return waitWriteCycle(device, uint32_t(address + data.size()), flags.back());
}

std::span<bool> I2c24Driver::acknowledgements(std::size_t count)
{
    if (count > acknowledgementRoom_) {
        acknowledgements_ = std::make_unique<bool[]>(count);
        acknowledgementRoom_ = count;
    }
    return {acknowledgements_.get(), count};
}

Result I2c24Driver::waitWriteCycle(uint8_t device, uint32_t address, bool answered)
{
    bus::I2cTransaction poll;
    poll.start().write(std::span(&device, 1)).stop();
    const auto start = i2c_.now();
    for (int polls = 0; !answered; ++polls) {
        const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(i2c_.now() - start);
        if (polls >= MinWriteCyclePolls && waited >= WriteCycleLimit) {
            Failure failure{Failure::Cause::StayedBusy, address};
            failure.waited = waited;
            return failure;
        }
        bool acknowledged = false;
        if (!i2c_.run(poll, std::span(&acknowledged, 1))) return linkFailure(address);
        answered = acknowledged;
    }
    return Result::done();
}

namespace {
template <class Bytes>
bool AllAlike(const Bytes& bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [&](uint8_t b) { return b == bytes[0]; });
}
} // namespace

AddressWidthProbe I2c24Driver::probeAddressWidth()
{
    constexpr std::size_t ProbeBytes = 17;
    using ProbeBlock = std::array<uint8_t, ProbeBytes>;
    const auto geometry = EepromGeometryOf(chip().eepromType);
    if (!geometry) return AddressWidthProbe::Unsure;
    bool linkFailed = false;
    auto readAt = [&](uint32_t address) -> std::optional<ProbeBlock> {
        ProbeBlock bytes{};
        const Result result = randomRead(address, bytes);
        if (result) return bytes;
        linkFailed = result.failure().cause == Failure::Cause::Link;
        return std::nullopt;
    };
    auto unanswered = [&] { return linkFailed ? AddressWidthProbe::LinkFailed : AddressWidthProbe::NoAnswer; };
    if (geometry->addressBytes == 1) {
        const auto first = readAt(0);
        const auto second = first ? readAt(0) : std::nullopt;
        if (!first || !second) return unanswered();
        if (*first != *second) return AddressWidthProbe::TwoAddressBytes;
        return AllAlike(*first) ? AddressWidthProbe::Unsure : AddressWidthProbe::Fits;
    }
    const auto low = readAt(0x0000);
    const auto high = low ? readAt(0x0100) : std::nullopt;
    if (!low || !high) return unanswered();
    if (AllAlike(*low)) return AddressWidthProbe::Unsure;
    const bool movedByOne = std::equal(low->begin() + 1, low->end(), high->begin());
    return movedByOne ? AddressWidthProbe::OneAddressByte : AddressWidthProbe::Fits;
}

bool MirroredHalves(std::span<const uint8_t> image)
{
    const std::size_t half = image.size() / 2;
    if (half == 0 || AllAlike(image)) return false;
    return std::equal(image.begin(), image.begin() + std::ptrdiff_t(half), image.begin() + std::ptrdiff_t(half));
}

} // namespace i2c24
