#include "adapter/emulator/ChipSocket.h"

#include "adapter/emulator/ChipStateFile.h"
#include "adapter/emulator/I2cEeprom.h"
#include "adapter/emulator/Microwire93.h"
#include "adapter/emulator/SpiEeprom.h"
#include "adapter/emulator/SpiFlash.h"

#include <utility>

ChipSocket::ChipSocket(EmulatedChipConfig config, const EmuClock& clock)
    : config_(std::move(config)), clock_(clock), memory_(config_.size, config_.imageFile)
{
    seat();
}

void ChipSocket::seat()
{
    if (!config_.imageFile.empty()) savedStatus_ = LoadChipState(ChipStatePath(config_.imageFile));
    if (config_.emptySocket) return;
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
    case EmulatedChipFamily::Microwire93:
        microwireChip_ = std::make_unique<Microwire93>(config_, memory_, clock_);
        break;
    }
    // Without a usable state file, one is written only once the chip's kept bits change.
    if (!savedStatus_ && spiChip_) savedStatus_ = spiChip_->keptStatus();
}

void ChipSocket::insert(EmulatedChipConfig config)
{
    persist();
    i2cChip_.reset();
    spiChip_.reset();
    microwireChip_.reset();
    config_ = std::move(config);
    memory_ = ChipMemory(config_.size, config_.imageFile);
    savedStatus_.reset();
    seat();
    selected_ = stayBusy_ = false;
    note(config_.emptySocket ? "chip taken out of the socket" : "chip put into the socket");
}

bool ChipSocket::persist()
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

void ChipSocket::powerOff()
{
    selected_ = false;
    stayBusy_ = false;
}

void ChipSocket::armFault(EmulatedFault fault, uint64_t afterPackets)
{
    armedFault_ = fault;
    faultCountdown_ = afterPackets;
    stayBusy_ = nakNext_ = false;
    note("fault armed");
}

void ChipSocket::clearFault()
{
    armedFault_.reset();
    stayBusy_ = nakNext_ = false;
}

std::optional<EmulatedFault> ChipSocket::packetArrived()
{
    if (!armedFault_ || faultCountdown_-- != 0) return std::nullopt;
    const EmulatedFault fault = *std::exchange(armedFault_, std::nullopt);
    switch (fault) {
    case EmulatedFault::I2cNak:
        note("fault: the chip refuses the next byte");
        nakNext_ = true;
        return std::nullopt;
    case EmulatedFault::ChipStaysBusy:
        note("fault: the chip stays busy");
        stayBusy_ = true;
        return std::nullopt;
    case EmulatedFault::UsbError:
    case EmulatedFault::Pulled:
    case EmulatedFault::CorruptReply: break;
    }
    return fault;
}

void ChipSocket::i2cStart()
{
    bytesSinceStart_ = 0;
    if (i2cChip_) i2cChip_->start();
    logI2c({I2cEvent::Kind::Start});
}

void ChipSocket::i2cStop()
{
    if (i2cChip_) i2cChip_->stop();
    logI2c({I2cEvent::Kind::Stop});
}

bool ChipSocket::i2cWrite(uint8_t byte)
{
    // A chip that stays busy refuses even its address, as during a write cycle; a refused byte is
    // an address or data byte, so that an acknowledge poll does not take it.
    const bool refused = stayBusy_ || (bytesSinceStart_ > 0 && std::exchange(nakNext_, false));
    ++bytesSinceStart_;
    const bool ack = !refused && i2cChip_ && i2cChip_->write(byte);
    logI2c({I2cEvent::Kind::Write, byte, ack});
    return ack;
}

uint8_t ChipSocket::i2cRead(bool ack)
{
    const uint8_t byte = i2cChip_ ? i2cChip_->read(ack) : 0xFF;
    logI2c({I2cEvent::Kind::Read, byte, ack});
    return byte;
}

void ChipSocket::logI2c(const I2cEvent& event)
{
    if (logging_) log_.i2c.push_back(event);
    if (logFile_) logFile_->i2c(event);
}

void ChipSocket::spiSelect()
{
    if (selected_) return;
    selected_ = true;
    busyFrameStart_ = true;
    if (logging_) log_.spi.emplace_back();
    if (spiChip_) spiChip_->select();
}

void ChipSocket::spiDeselect()
{
    if (!selected_) return;
    selected_ = false;
    if (spiChip_) spiChip_->deselect();
    if (logFile_) logFile_->spiFrame(std::exchange(fileFrame_, {}));
}

uint8_t ChipSocket::spiTransfer(uint8_t mosi)
{
    const uint8_t miso = stayBusy_ ? busyAnswer(mosi) : selected_ && spiChip_ ? spiChip_->transfer(mosi) : 0xFF;
    logSpi(mosi, miso);
    return miso;
}

void ChipSocket::spiTransferBlock(std::span<uint8_t> bytes)
{
    if (stayBusy_ || !selected_ || !spiChip_ || logging_ || logFile_) {
        for (uint8_t& byte : bytes) byte = spiTransfer(byte);
        return;
    }
    spiChip_->transferBlock(bytes);
}

void ChipSocket::logSpi(uint8_t mosi, uint8_t miso)
{
    if (!selected_) return;
    if (logging_ && !log_.spi.empty()) {
        log_.spi.back().mosi.push_back(mosi);
        log_.spi.back().miso.push_back(miso);
    }
    if (logFile_) {
        fileFrame_.mosi.push_back(mosi);
        fileFrame_.miso.push_back(miso);
    }
}

// A chip that stays busy takes no command: it answers a status read with its busy bit set.
uint8_t ChipSocket::busyAnswer(uint8_t mosi)
{
    if (!selected_ || !spiChip_) return 0xFF;
    if (std::exchange(busyFrameStart_, false)) {
        busyOpcode_ = mosi;
        return 0xFF;
    }
    return busyOpcode_ == 0x05 ? 0x03 : 0xFF;
}

BusLog ChipSocket::takeLog()
{
    return std::exchange(log_, {});
}

bool ChipSocket::setLogFile(const std::filesystem::path& path, std::string_view firstNote)
{
    auto file = std::make_unique<BusLogFile>();
    if (!path.empty() && !file->open(path)) return false;
    logFile_ = path.empty() ? nullptr : std::move(file);
    fileFrame_ = {};
    note(firstNote);
    return true;
}

void ChipSocket::note(std::string_view text)
{
    if (logFile_) logFile_->note(text);
}

void ChipSocket::usbNote(std::string_view text)
{
    if (logging_) log_.usb.emplace_back(text);
    note(text);
}

void ChipSocket::microwireLines(bool select, bool clock, bool dataIn)
{
    // A chip that stays busy takes no instruction.
    if (microwireChip_ && !stayBusy_) microwireChip_->lines(select, clock, dataIn);
}

bool ChipSocket::microwireDataOut(bool select) const
{
    if (!microwireChip_) return true;
    return stayBusy_ ? !select : microwireChip_->dataOut();
}
