#include "adapter/ch341a/Ch341Device.h"

#include "adapter/ch341a/Ch341Protocol.h"

#include <algorithm>

using namespace ch341;

namespace {
// Handle value of an open adapter; only "not -1" matters to callers.
constexpr intptr_t OpenHandle = 1;
} // namespace

Ch341Device::Ch341Device(std::shared_ptr<UsbTransport> transport) : transport_(std::move(transport)) {}

Ch341Device::~Ch341Device()
{
    transport_->setEventHandler({});
    transport_->close();
}

bool Ch341Device::run(std::span<const uint8_t> out, std::span<const uint8_t> inSizes, std::size_t expected)
{
    const std::span<const uint8_t> transfers[] = {out};
    return run(std::span<const std::span<const uint8_t>>(transfers), inSizes, expected);
}

bool Ch341Device::run(std::span<const std::span<const uint8_t>> out, std::span<const uint8_t> inSizes,
                      std::size_t expected)
{
    if (!transport_->isOpen()) {
        lastStatus_ = UsbStatus::NotOpen;
        return false;
    }
    in_.resize(std::max<std::size_t>(expected, 1));
    std::size_t received = 0;
    UsbStatus status = transport_->exchange(out, inSizes, in_, received);
    if (status == UsbStatus::Ok && received != expected) status = UsbStatus::ShortReply;
    lastStatus_ = status;
    return status == UsbStatus::Ok;
}

intptr_t Ch341Device::CH341OpenDevice(uint32_t index)
{
    std::lock_guard lock(mutex_);
    if (index != AdapterIndex) {
        lastStatus_ = UsbStatus::NotFound;
        return InvalidAdapterHandle;
    }
    if (transport_->isOpen()) return OpenHandle;
    const UsbStatus status = transport_->open();
    lastStatus_ = status;
    msbFirst_ = false;
    wireMode_.reset();
    return status == UsbStatus::Ok ? OpenHandle : InvalidAdapterHandle;
}

void Ch341Device::CH341CloseDevice(uint32_t index)
{
    if (index != AdapterIndex) return;
    std::lock_guard lock(mutex_);
    transport_->close();
    wireMode_.reset();
}

bool Ch341Device::CH341ResetDevice(uint32_t index)
{
    if (index != AdapterIndex) return false;
    std::lock_guard lock(mutex_);
    // Pins back to inputs, stream mode back to 100 kHz, LSB first.
    out_.assign({CmdUioStream, uint8_t(UioOut | PinsIdle), UioDir, UioEnd});
    out_.resize(PacketSize, 0x00);
    out_.insert(out_.end(), {CmdI2cStream, uint8_t(I2cSet | 1), I2cEnd});
    msbFirst_ = false;
    wireMode_.reset();
    return run(out_, {}, 0);
}

bool Ch341Device::CH341SetDeviceNotify(uint32_t index, const char*, DeviceNotify notify)
{
    if (index != AdapterIndex) return false;
    transport_->setEventHandler(std::move(notify));
    return true;
}

bool Ch341Device::CH341SetStream(uint32_t index, uint8_t mode)
{
    if (index != AdapterIndex) return false;
    std::lock_guard lock(mutex_);
    // Bit 7 (MSB first) has no wire encoding: the host mirrors SPI bytes itself.
    const uint8_t wire = mode & ModeWireBits;
    if (wireMode_ != wire) {
        out_.assign({CmdI2cStream, uint8_t(I2cSet | wire), I2cEnd});
        if (!run(out_, {}, 0)) {
            wireMode_.reset();
            return false;
        }
        wireMode_ = wire;
    }
    msbFirst_ = (mode & ModeMsbFirst) != 0;
    return true;
}

bool Ch341Device::CH341WriteData(uint32_t index, std::span<const uint8_t> buffer)
{
    if (index != AdapterIndex || buffer.empty()) return false;
    std::lock_guard lock(mutex_);
    return run(buffer, {}, 0);
}

bool Ch341Device::CH341WriteRead(uint32_t index, std::span<const uint8_t> write, uint32_t readStep, uint32_t readCount,
                                 uint32_t& replyLength, std::span<uint8_t> reply)
{
    replyLength = 0;
    if (index != AdapterIndex || write.empty() || readStep == 0 || readStep > PacketSize || readCount == 0 ||
        uint64_t(readStep) * readCount > reply.size()) {
        lastStatus_ = UsbStatus::InvalidArgument;
        return false;
    }
    std::lock_guard lock(mutex_);
    if (!transport_->isOpen()) {
        lastStatus_ = UsbStatus::NotOpen;
        return false;
    }
    // The reply may overwrite the packet it answers: send from a copy.
    out_.assign(write.begin(), write.end());
    inSizes_.assign(readCount, static_cast<uint8_t>(readStep));
    in_.resize(std::size_t(readStep) * readCount);
    std::size_t received = 0;
    const UsbStatus status = transport_->exchange(out_, inSizes_, in_, received);
    lastStatus_ = status;
    if (status != UsbStatus::Ok) return false;
    std::copy_n(in_.begin(), received, reply.begin());
    replyLength = static_cast<uint32_t>(received);
    return true;
}

bool Ch341Device::spiArguments(uint32_t index, std::span<const std::span<uint8_t>> frames)
{
    const bool valid = index == AdapterIndex && !frames.empty() &&
                       std::none_of(frames.begin(), frames.end(), [](auto frame) { return frame.empty(); });
    if (!valid) lastStatus_ = UsbStatus::InvalidArgument;
    return valid;
}

// Each frame is a transfer of its own: a pin segment that selects the chip (after deselecting it
// for `gap` when a frame went before), then its A8 segments. Every byte of an A8 segment is
// clocked, so its packet cannot be padded and the frame's last one ends the transfer; a last
// transfer deselects the chip.
void Ch341Device::packSpi(SpiExchange& exchange, uint32_t chipSelect, std::span<const std::span<uint8_t>> frames,
                          std::chrono::nanoseconds gap) const
{
    const bool driveSelect = (chipSelect & 0x80) != 0;
    const uint8_t selected = static_cast<uint8_t>(PinsIdle & ~(1u << (chipSelect & 0x03)));
    // Room in one pin segment besides its command, the select pair and END.
    constexpr std::size_t MaxGapCommands = PacketSize - 5;
    const auto gapCommands =
        std::min<std::size_t>(MaxGapCommands, (gap + PinCommandTime - std::chrono::nanoseconds(1)) / PinCommandTime);
    auto& out = exchange.out;
    exchange.msbFirst = msbFirst_;
    for (std::size_t f = 0; f < frames.size(); ++f) {
        if (driveSelect) {
            const std::size_t start = out.size();
            out.push_back(CmdUioStream);
            if (f > 0) out.insert(out.end(), 1 + gapCommands, uint8_t(UioOut | PinsIdle));
            out.insert(out.end(), {uint8_t(UioOut | selected), uint8_t(UioDir | PinsAllOut), UioEnd});
            out.resize(start + PacketSize, 0x00);
        }
        const std::span<const uint8_t> frame = frames[f];
        for (std::size_t pos = 0; pos < frame.size(); pos += SpiMaxPerSegment) {
            const std::size_t n = std::min(SpiMaxPerSegment, frame.size() - pos);
            out.push_back(CmdSpiStream);
            for (std::size_t i = 0; i < n; ++i) out.push_back(msbFirst_ ? ReverseBits[frame[pos + i]] : frame[pos + i]);
            exchange.inSizes.push_back(static_cast<uint8_t>(n));
        }
        exchange.transferEnds.push_back(out.size());
        exchange.frames.push_back(frames[f]);
    }
    if (driveSelect) {
        out.insert(out.end(), {CmdUioStream, uint8_t(UioOut | PinsIdle), UioEnd});
        exchange.transferEnds.push_back(out.size());
    }
    std::size_t replyBytes = 0;
    for (auto frame : frames) replyBytes += frame.size();
    exchange.in.resize(replyBytes);
}

bool Ch341Device::submitSpi(SpiExchange& exchange)
{
    if (!transport_->isOpen()) {
        lastStatus_ = UsbStatus::NotOpen;
        return false;
    }
    transfers_.clear();
    std::size_t begin = 0;
    for (std::size_t end : exchange.transferEnds) {
        transfers_.emplace_back(exchange.out.data() + begin, end - begin);
        begin = end;
    }
    const UsbStatus status = transport_->submit(transfers_, exchange.inSizes, exchange.in, exchange.ticket);
    lastStatus_ = status;
    return status == UsbStatus::Ok;
}

bool Ch341Device::collectSpi(SpiExchange& exchange)
{
    std::size_t received = 0;
    UsbStatus status = transport_->collect(exchange.ticket, received);
    if (status == UsbStatus::Ok && received != exchange.in.size()) status = UsbStatus::ShortReply;
    lastStatus_ = status;
    if (status != UsbStatus::Ok) return false;
    std::size_t at = 0;
    for (std::span<uint8_t> frame : exchange.frames)
        for (uint8_t& byte : frame) {
            byte = exchange.msbFirst ? ReverseBits[exchange.in[at]] : exchange.in[at];
            ++at;
        }
    return true;
}

bool Ch341Device::CH341StreamSPI4(uint32_t index, uint32_t chipSelect, std::span<uint8_t> buffer)
{
    const std::span<uint8_t> frames[] = {buffer};
    return CH341StreamSPI4Chain(index, chipSelect, frames, {});
}

bool Ch341Device::CH341StreamSPI4Chain(uint32_t index, uint32_t chipSelect, std::span<const std::span<uint8_t>> frames,
                                       std::chrono::nanoseconds gap)
{
    std::lock_guard lock(mutex_);
    if (!spiArguments(index, frames)) return false;
    // The scratch exchange keeps its buffers from call to call.
    SpiExchange& exchange = spiScratch_;
    exchange.out.clear();
    exchange.transferEnds.clear();
    exchange.inSizes.clear();
    exchange.frames.clear();
    packSpi(exchange, chipSelect, frames, gap);
    return submitSpi(exchange) && collectSpi(exchange);
}

uint64_t Ch341Device::CH341StreamSPI4Begin(uint32_t index, uint32_t chipSelect, std::span<uint8_t> buffer)
{
    const std::span<uint8_t> frames[] = {buffer};
    return CH341StreamSPI4ChainBegin(index, chipSelect, frames);
}

uint64_t Ch341Device::CH341StreamSPI4ChainBegin(uint32_t index, uint32_t chipSelect,
                                                std::span<const std::span<uint8_t>> frames,
                                                std::chrono::nanoseconds gap)
{
    std::lock_guard lock(mutex_);
    if (!spiArguments(index, frames)) return 0;
    SpiExchange& exchange = begun_.emplace_back();
    packSpi(exchange, chipSelect, frames, gap);
    if (submitSpi(exchange)) return exchange.ticket;
    begun_.pop_back();
    return 0;
}

bool Ch341Device::exchange(std::span<const uint8_t> out, std::span<const uint8_t> inSizes, std::span<uint8_t> in,
                           std::size_t expected)
{
    std::lock_guard lock(mutex_);
    if (!run(out, inSizes, expected)) return false;
    std::copy_n(in_.begin(), std::min(expected, in.size()), in.begin());
    return true;
}

bool Ch341Device::CH341StreamSPI4Wait(uint32_t index, uint64_t ticket)
{
    std::lock_guard lock(mutex_);
    const auto found =
        std::find_if(begun_.begin(), begun_.end(), [ticket](const auto& e) { return e.ticket == ticket; });
    if (index != AdapterIndex || ticket == 0 || found == begun_.end()) {
        lastStatus_ = UsbStatus::InvalidArgument;
        return false;
    }
    const bool ok = collectSpi(*found);
    begun_.erase(found);
    return ok;
}

bool Ch341Device::CH341SetDelaymS(uint32_t index, uint32_t milliseconds)
{
    if (index != AdapterIndex) return false;
    transport_->pause(std::chrono::milliseconds(milliseconds));
    return true;
}
