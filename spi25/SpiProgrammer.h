#pragma once
// Programming a 25xx chip: pages (write enable, program frame, status polls in one exchange) and
// SST auto-address-increment blocks.

#include "adapter/SpiAddressMode.h"
#include "adapter/bus/SpiMaster.h"
#include "family/ChipDriver.h"

#include <chrono>
#include <cstdint>
#include <span>
#include <vector>

namespace spi25 {

// The status reads that follow a page program in its own exchange, spaced by the adapter's packet
// pace. A programming run keeps one and it follows the chip: one more read after a page the reads
// did not see end, one fewer (down to what the last page needed) after one they did.
struct PagePolls {
    static constexpr std::size_t Max = 12;
    std::size_t count = 4; // enough for a typical page program of 0.4 to 0.6 ms
};

class PageProgrammer {
public:
    PageProgrammer(bus::SpiMaster& spi, SpiAddressMode mode) : spi_(spi), mode_(mode) {}

    // 06; [mode 4: B7]; the page-program frame with the data; status reads until ready.
    family::Result program(uint32_t address, std::span<const uint8_t> data);

private:
    bus::SpiMaster& spi_;
    SpiAddressMode mode_;
    PagePolls polls_;
    std::vector<uint8_t> frame_;
    std::array<uint8_t, PagePolls::Max> statuses_{};
};

inline constexpr uint32_t AaiBlock = 256;
// The SST word program time (TBP, 10 us at most): how long chip select stays high between words.
inline constexpr std::chrono::microseconds AaiWordTime{10};
// SST word auto-address-increment programming of one 256-byte block:
// 06; AD A23-16 A15-8 A7-0 d0 d1; 127 x AD d(i) d(i+1); 04; status reads until ready. The words go
// in one exchange, each after the word time of the one before.
family::Result ProgramAai(bus::SpiMaster& spi, uint32_t address, std::span<const uint8_t, AaiBlock> data);

} // namespace spi25
