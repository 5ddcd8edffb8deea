#include "spi/SpiUnprotect.h"

#include "adapter/Uch_spi.h"
#include "spi/SpiStatus.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace {

class FrameSender {
public:
    FrameSender(Ch341Library& adapter, SpiLog& spiLog) : library(adapter), log(spiLog) {}

    void setMode()
    {
        if (!library.CH341SetStream(AdapterIndex, SpiStreamTransfer)) log.push_back({spitext::SetStreamError, true});
    }
    void send(std::initializer_list<uint8_t> bytes)
    {
        std::vector<uint8_t> frame(bytes);
        if (!library.CH341StreamSPI4(AdapterIndex, SpiChipSelect0, frame))
            log.push_back({spitext::StreamSpiError, true});
    }
    // The wait is bounded; a chip still busy then just receives the next frames.
    void waitReady() { SPIWaitReady(library); }

private:
    Ch341Library& library;
    SpiLog& log;
};

} // namespace

bool Unprotect(Ch341Library& library, std::string_view chipName, SpiLog& log)
{
    const std::string name = UpperChipName(chipName);
    FrameSender chip(library, log);
    const bool mx25l2026 = name.find("MX25L2026") != std::string::npos;
    if (mx25l2026) {
        chip.setMode();
        chip.send({0x06});
        chip.send({0x01, 0x00});
        chip.send({0xC3, 0xA5, 0xC3, 0xA5});
        chip.send({0x06});
        chip.send({0x01, 0x00});
    }
    chip.setMode();
    chip.send({0x06});
    chip.send({0x01, 0x00});
    chip.waitReady();
    if (name.find("AT25DF") != std::string::npos) {
        chip.send({0x06});
        chip.send({0x01, 0x00});
        chip.waitReady();
    }
    if (name.find("SST26") != std::string::npos) {
        // SST26 parts write-lock every block at power-up in a register of their own; 98 unlocks.
        chip.send({0x06});
        chip.send({0x98});
    }
    // Registers 2 and 3 (CMP, SRP1, WPS on W25Q-style parts) take a write only after a write
    // enable, like register 1; without it CMP = 1 would leave the whole array protected.
    chip.send({0x06});
    chip.send({0x31, 0x00});
    chip.waitReady();
    chip.send({0x06});
    chip.send({0x11, 0x00});
    chip.waitReady();
    chip.send({0x04}); // parts without these registers keep the latch set otherwise
    return mx25l2026;
}
