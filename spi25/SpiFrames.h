#pragma once
// The 25xx frames the family sends, over the adapter's SPI master: one-byte commands, register
// reads, the identification reads, the read and program headers of each address layout, and the
// wait for a busy chip, bounded in the adapter's time.

#include "adapter/SpiAddressMode.h"
#include "adapter/bus/SpiMaster.h"
#include "family/ChipDriver.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <span>

namespace spi25 {

// The longest header of a read or program frame: opcode and four address bytes.
inline constexpr std::size_t MaxHeader = 5;

// Writes the opcode and address bytes of a read (or program) frame into `out`; 0 for an unknown
// layout. READ 03 / PP 02 with 3 or 2 address bytes; with one, address bit 8 goes into the opcode
// (0B / 0A); 13 with 4 bytes after B7; 13 / 12 with 4 bytes.
std::size_t FrameHeader(SpiAddressMode mode, bool program, uint32_t address, uint8_t* out);

// A frame of these bytes with nothing to read back.
bool Command(bus::SpiMaster& spi, std::initializer_list<uint8_t> bytes);
// opcode, then one byte in.
bool ReadRegister(bus::SpiMaster& spi, uint8_t opcode, uint8_t& value);

// 9F x x x; AB 00 00 00 x x; 90 00 00 00 x x; 4B 00 00 00 00 + 8 bytes.
bool ReadJedecId(bus::SpiMaster& spi, std::array<uint8_t, 3>& id);
bool ReadResId(bus::SpiMaster& spi, std::array<uint8_t, 2>& id);
bool ReadRemsId(bus::SpiMaster& spi, std::array<uint8_t, 2>& id);
bool ReadUniqueId(bus::SpiMaster& spi, std::array<uint8_t, 8>& id);

// How long a chip may stay busy before a wait gives up on it.
struct BusyLimit {
    std::chrono::milliseconds limit;
    // Between two polls of a long wait; 0 polls back to back.
    std::chrono::microseconds pollPause{0};
};
// Page programs and register writes end within milliseconds; 3 s leaves room for slow parts.
inline constexpr BusyLimit ShortOperation{std::chrono::milliseconds(3000), std::chrono::microseconds(0)};
// A whole-chip erase: 15 s per MiB, at least 60 s, polled every 100 ms.
BusyLimit ChipEraseLimit(uint32_t chipSize);

// Polls status register 1 until its busy bit clears. A failed poll is a Link failure, a chip still
// busy after the limit (in the adapter's time) a StayedBusy one. Each poll of a paced wait ticks
// `progress`, which can also stop it (Cancelled).
family::Result WaitReady(bus::SpiMaster& spi, BusyLimit limit, family::Progress* progress = nullptr);

// A Link failure at `address` with the adapter's reason.
family::Failure LinkFailure(const bus::SpiMaster& spi, uint32_t address);

} // namespace spi25
