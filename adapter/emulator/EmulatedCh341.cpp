#include "adapter/emulator/EmulatedCh341.h"

#include "adapter/Ch341Protocol.h"
#include "adapter/emulator/ChipStateFile.h"
#include "adapter/emulator/I2cEeprom.h"
#include "adapter/emulator/SpiEeprom.h"
#include "adapter/emulator/SpiFlash.h"

#include <algorithm>
#include <thread>
#include <utility>

using namespace ch341;

EmulatedCh341::EmulatedCh341(EmulatedChipConfig config, double timeScale)
    : config_(std::move(config)), clock_(timeScale), memory_(config_.size, config_.imageFile)
{
    if (!config_.imageFile.empty()) savedStatus_ = LoadChipState(ChipStatePath(config_.imageFile));
    switch (EmulatedFamilyOf(config_.kind).value_or(EmulatedChipFamily::SpiFlash)) {
    case EmulatedChipFamily::I2cEeprom:
        i2cChip_ = std::make_unique<I2cEeprom>(config_, *I2cTypeOfKind(config_.kind), memory_, clock_);
        break;
    case EmulatedChipFamily::SpiEeprom:
        spiChip_ = std::make_unique<SpiEeprom>(config_, memory_, clock_, savedStatus_);
        break;
    case EmulatedChipFamily::SpiFlash:
        spiChip_ = std::make_unique<SpiFlash>(config_, memory_, clock_, savedStatus_);
        break;
    }
    // Without a usable state file, one is written only once the chip's kept bits change.
    if (!savedStatus_ && spiChip_) savedStatus_ = spiChip_->keptStatus();
}

EmulatedCh341::~EmulatedCh341()
{
    std::lock_guard lock(mutex_);
    persist();
}

bool EmulatedCh341::persist()
{
    bool ok = memory_.flush();
    const auto kept = spiChip_ ? spiChip_->keptStatus() : std::nullopt;
    if (!config_.imageFile.empty() && kept && kept != savedStatus_) {
        if (SaveChipState(ChipStatePath(config_.imageFile), *kept))
            savedStatus_ = kept;
        else
            ok = false;
    }
    return ok;
}

UsbStatus EmulatedCh341::open()
{
    std::lock_guard lock(mutex_);
    if (!present_) return UsbStatus::NotFound;
    open_ = true;
    logNote("adapter opened");
    return UsbStatus::Ok;
}

void EmulatedCh341::close()
{
    std::lock_guard lock(mutex_);
    open_ = false;
    replies_.clear();
    persist();
    logNote("adapter closed");
}

bool EmulatedCh341::isOpen() const
{
    std::lock_guard lock(mutex_);
    return open_ && present_;
}

bool EmulatedCh341::flushImage()
{
    std::lock_guard lock(mutex_);
    return persist();
}

void EmulatedCh341::pause(std::chrono::microseconds duration)
{
    std::this_thread::sleep_for(clock_.toReal(duration));
}

void EmulatedCh341::setEventHandler(AdapterEventHandler handler)
{
    std::lock_guard lock(mutex_);
    handler_ = std::move(handler);
}

void EmulatedCh341::plug()
{
    AdapterEventHandler handler;
    {
        std::lock_guard lock(mutex_);
        if (present_) return;
        present_ = true;
        logNote("adapter plugged in");
        handler = handler_;
    }
    if (handler) handler(AdapterEventArrived);
}

void EmulatedCh341::announceRemoval()
{
    AdapterEventHandler handler;
    {
        std::lock_guard lock(mutex_);
        logNote("adapter about to be removed");
        handler = handler_;
    }
    if (handler) handler(AdapterEventRemovePending);
}

void EmulatedCh341::unplug()
{
    AdapterEventHandler handler;
    {
        std::lock_guard lock(mutex_);
        if (!present_) return;
        present_ = false;
        open_ = false;
        replies_.clear();
        selected_ = false;  // power is gone: a frame in progress is not executed
        persist();
        logNote("adapter unplugged");
        handler = handler_;
    }
    if (handler) handler(AdapterEventRemoved);
}

void EmulatedCh341::setRoundTripLatency(std::chrono::microseconds latency)
{
    std::lock_guard lock(mutex_);
    latency_ = latency;
}

void EmulatedCh341::setLogging(bool on)
{
    std::lock_guard lock(mutex_);
    logging_ = on;
}

bool EmulatedCh341::setLogFile(const std::filesystem::path& path)
{
    auto file = std::make_unique<BusLogFile>();
    if (!path.empty() && !file->open(path)) return false;
    std::lock_guard lock(mutex_);
    logFile_ = path.empty() ? nullptr : std::move(file);
    fileFrame_ = {};
    logNote(present_ ? "logging starts, adapter present" : "logging starts, adapter unplugged");
    return true;
}

void EmulatedCh341::logNote(std::string_view text)
{
    if (logFile_) logFile_->note(text);
}

BusLog EmulatedCh341::takeLog()
{
    std::lock_guard lock(mutex_);
    return std::exchange(log_, {});
}

UsbStatus EmulatedCh341::doExchange(std::span<const std::span<const uint8_t>> out,
                                    std::span<const uint8_t> inSizes, std::span<uint8_t> in,
                                    std::size_t& received)
{
    std::lock_guard lock(mutex_);
    if (!present_) return UsbStatus::NoDevice;
    if (!open_) return UsbStatus::NotOpen;
    if (latency_.count() > 0) std::this_thread::sleep_for(latency_);
    for (std::span<const uint8_t> transfer : out)
        for (std::size_t pos = 0; pos < transfer.size(); pos += PacketSize)
            runSegment(transfer.subspan(pos, std::min(PacketSize, transfer.size() - pos)));

    for (uint8_t size : inSizes) {
        if (replies_.empty()) return UsbStatus::Timeout;
        const std::vector<uint8_t>& packet = replies_.front();
        if (packet.size() > size) return UsbStatus::Overflow;
        std::copy(packet.begin(), packet.end(), in.begin() + static_cast<std::ptrdiff_t>(received));
        received += packet.size();
        replies_.pop_front();
    }
    return UsbStatus::Ok;
}

void EmulatedCh341::runSegment(std::span<const uint8_t> segment)
{
    if (segment.empty()) return;
    if (logFile_) logFile_->usbOut(segment);
    std::vector<uint8_t> reply;
    switch (segment[0]) {
    case CmdI2cStream: runI2c(segment.subspan(1), reply); break;
    case CmdUioStream: runUio(segment.subspan(1), reply); break;
    case CmdSpiStream: runSpi(segment.subspan(1), reply); break;
    default: break;  // unknown segments are ignored, as the adapter does
    }
    // A segment without reply bytes sends no IN packet at all.
    if (reply.empty()) return;
    if (logFile_) logFile_->usbIn(reply);
    replies_.push_back(std::move(reply));
}

void EmulatedCh341::runI2c(std::span<const uint8_t> s, std::vector<uint8_t>& reply)
{
    for (std::size_t i = 0; i < s.size(); ++i) {
        const uint8_t cmd = s[i];
        if (cmd == I2cEnd) return;
        if (cmd == I2cStart) {
            i2cStart();
        } else if (cmd == I2cStop) {
            i2cStop();
        } else if (cmd == I2cOut) {
            if (i + 1 >= s.size()) return;
            reply.push_back(i2cWrite(s[++i]) ? 0x00 : I2cNackBit);
        } else if ((cmd & 0xC0) == I2cOut) {
            const std::size_t n = cmd & 0x3F;
            for (std::size_t k = 0; k < n && i + 1 < s.size(); ++k) i2cWrite(s[++i]);
        } else if (cmd == I2cIn) {
            reply.push_back(i2cRead(false));
        } else if (cmd > I2cIn && cmd <= (I2cIn | 32)) {
            for (unsigned k = 0; k < (cmd & 0x3Fu); ++k) reply.push_back(i2cRead(true));
        } else if ((cmd & 0xF8) == I2cSet) {
            wireMode_ = cmd & 0x07;
        } else if ((cmd & 0xF0) == I2cDelayUs || (cmd & 0xF0) == I2cDelayMs) {
            // Bus timing is not modelled.
        } else {
            return;
        }
    }
}

void EmulatedCh341::runUio(std::span<const uint8_t> s, std::vector<uint8_t>& reply)
{
    for (uint8_t cmd : s) {
        if (cmd == UioEnd) return;
        switch (cmd & 0xC0) {
        case 0x00: reply.push_back(static_cast<uint8_t>((pinOut_ & 0x3F) | 0x80)); break;
        case UioDir: pinDir_ = cmd & 0x3F; break;
        case UioOut: pinOut_ = cmd & 0x3F; break;
        default: break;  // delays
        }
        updateChipSelect();
    }
}

void EmulatedCh341::updateChipSelect()
{
    const bool selected = (pinDir_ & 0x01) && !(pinOut_ & 0x01);
    if (selected == selected_) return;
    selected_ = selected;
    if (selected) {
        if (logging_) log_.spi.emplace_back();
        if (spiChip_) spiChip_->select();
    } else {
        if (spiChip_) spiChip_->deselect();
        if (logFile_) logFile_->spiFrame(std::exchange(fileFrame_, {}));
    }
}

void EmulatedCh341::runSpi(std::span<const uint8_t> s, std::vector<uint8_t>& reply)
{
    for (uint8_t wire : s) {
        // The engine shifts LSB first: the chip, which samples MSB first, sees the mirror image.
        const uint8_t mosi = ReverseBits[wire];
        const uint8_t miso = selected_ && spiChip_ ? spiChip_->transfer(mosi) : 0xFF;
        if (logging_ && selected_ && !log_.spi.empty()) {
            log_.spi.back().mosi.push_back(mosi);
            log_.spi.back().miso.push_back(miso);
        }
        if (logFile_ && selected_) {
            fileFrame_.mosi.push_back(mosi);
            fileFrame_.miso.push_back(miso);
        }
        reply.push_back(ReverseBits[miso]);
    }
}

void EmulatedCh341::i2cStart()
{
    if (i2cChip_) i2cChip_->start();
    logI2c({I2cEvent::Kind::Start});
}

void EmulatedCh341::i2cStop()
{
    if (i2cChip_) i2cChip_->stop();
    logI2c({I2cEvent::Kind::Stop});
}

bool EmulatedCh341::i2cWrite(uint8_t byte)
{
    const bool ack = i2cChip_ && i2cChip_->write(byte);
    logI2c({I2cEvent::Kind::Write, byte, ack});
    return ack;
}

uint8_t EmulatedCh341::i2cRead(bool ack)
{
    const uint8_t byte = i2cChip_ ? i2cChip_->read(ack) : 0xFF;
    logI2c({I2cEvent::Kind::Read, byte, ack});
    return byte;
}

void EmulatedCh341::logI2c(const I2cEvent& event)
{
    if (logging_) log_.i2c.push_back(event);
    if (logFile_) logFile_->i2c(event);
}
