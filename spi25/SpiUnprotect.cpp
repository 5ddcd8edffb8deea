#include "spi25/SpiUnprotect.h"

#include "spi25/SpiFrames.h"
#include "spi25/SpiOpcodes.h"

namespace spi25 {
namespace {

class FrameSender {
public:
    FrameSender(bus::SpiMaster& spi, SpiLog& log) : spi_(spi), log_(log) {}

    void send(std::initializer_list<uint8_t> bytes)
    {
        if (!Command(spi_, bytes)) log_.push_back({spitext::StreamSpiError, true});
    }
    // The wait is bounded; a chip still busy then just receives the next frames.
    void waitReady() { (void)WaitReady(spi_, ShortOperation); }

private:
    bus::SpiMaster& spi_;
    SpiLog& log_;
};

} // namespace

bool Unprotect(bus::SpiMaster& spi, const chipdb::Chip& chip, SpiLog& log)
{
    FrameSender frames(spi, log);
    const bool eraseFollows = chip.unprotect == chipdb::UnprotectQuirk::EraseSequence;
    if (eraseFollows) {
        frames.send({op::WriteEnable});
        frames.send({op::WriteStatus1, 0x00});
        frames.send({0xC3, 0xA5, 0xC3, 0xA5});
        frames.send({op::WriteEnable});
        frames.send({op::WriteStatus1, 0x00});
    }
    frames.send({op::WriteEnable});
    frames.send({op::WriteStatus1, 0x00});
    frames.waitReady();
    if (chip.unprotect == chipdb::UnprotectQuirk::GlobalUnprotectTwice) {
        frames.send({op::WriteEnable});
        frames.send({op::WriteStatus1, 0x00});
        frames.waitReady();
    }
    if (chip.unprotect == chipdb::UnprotectQuirk::BlockLockRegister) {
        frames.send({op::WriteEnable});
        frames.send({op::GlobalBlockUnlock});
    }
    // Registers 2 and 3 (CMP, SRP1, WPS on W25Q-style parts) take a write only after a write
    // enable, like register 1; without it CMP = 1 would leave the whole array protected.
    frames.send({op::WriteEnable});
    frames.send({op::WriteStatus2, 0x00});
    frames.waitReady();
    frames.send({op::WriteEnable});
    frames.send({op::WriteStatus3, 0x00});
    frames.waitReady();
    frames.send({op::WriteDisable}); // parts without these registers keep the latch set otherwise
    return eraseFollows;
}

} // namespace spi25
