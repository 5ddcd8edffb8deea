#pragma once
// SPI transfer operations over CH341StreamSPI4: the 25xx command frames, read in place of the
// vendor library's SPI helpers. Every operation returns true only when every transfer it made
// succeeded, and stops at the first failure.

#include "adapter/ch341a/Ch341Library.h"
#include "adapter/SpiAddressMode.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <span>

inline constexpr uint8_t SpiStreamIdentify = 0x81; // stream mode for identification reads
inline constexpr uint8_t SpiStreamTransfer = 0x83; // stream mode for every other sequence
inline constexpr uint32_t SpiMaxReadBlock = 4096;
inline constexpr uint32_t SpiAaiBlock = 256;

// How long SPIWaitReady waits by default: page programs and register writes finish well within.
inline constexpr std::chrono::milliseconds SpiReadyTimeout{3000};
// A bound for waiting on a whole-chip erase: 15 s per MiB, at least 60 s.
std::chrono::milliseconds SpiEraseTimeout(uint32_t chipSize);

// Identification (set mode 0x81): 9F x x x; AB 00 00 00 x x; 90 00 00 00 x x.
bool SPIReadJedecId(Ch341Library& library, std::array<uint8_t, 3>& id);
bool SPIReadResId(Ch341Library& library, std::array<uint8_t, 2>& id);
bool SPIReadRemsId(Ch341Library& library, std::array<uint8_t, 2>& id);
// Mode 0x83: 4B 00 00 00 00 + 8 response bytes.
bool SPIReadUniqueId(Ch341Library& library, std::array<uint8_t, 8>& id);

// Mode 0x83: opcode x.
bool SPIReadRegister(Ch341Library& library, uint8_t opcode, uint8_t& value);
// Polls status register 1 until bit 0 clears. False when a poll fails or `timeout` passes.
bool SPIWaitReady(Ch341Library& library, std::chrono::milliseconds timeout = SpiReadyTimeout);
// 06; opcode value; SPIWaitReady; 04.
bool SPIWriteRegister(Ch341Library& library, uint8_t opcode, uint8_t value);
// 06; 01 sr1 sr2; 04.
bool SPIWriteStatusPair(Ch341Library& library, uint8_t sr1, uint8_t sr2);
// 06; 50; opcode value; SPIWaitReady; 04. The status write is a frame of its own: chips
// execute 50 alone and would ignore a register write riding in the same frame.
bool SPIWriteStatusEWSR(Ch341Library& library, uint8_t opcode, uint8_t value);

// Reads destination.size() bytes (1..4096) at `address` with the read frame of `mode`. Only
// `destination` is written, and only after the transfer succeeded. Needs mode 0x83 set.
bool SPIReadBlock(Ch341Library& library, uint32_t address, std::span<uint8_t> destination, SpiAddressMode mode);

// Reads consecutive blocks as SPIReadBlock does, each block's read frame queued while the one
// before is still on its way, so the adapter goes from block to block without waiting for the
// host. A block queued ahead and never read is waited for and dropped at the end.
class SpiBlockReader {
public:
    // Blocks of `blockSize` bytes (1..4096) from address 0 up to `end`.
    SpiBlockReader(Ch341Library& library, SpiAddressMode mode, uint32_t blockSize, uint32_t end);
    ~SpiBlockReader();
    SpiBlockReader(const SpiBlockReader&) = delete;
    SpiBlockReader& operator=(const SpiBlockReader&) = delete;

    // Reads the block at `address` (in order, a multiple of the block size) into `destination`.
    bool read(uint32_t address, std::span<uint8_t> destination);

private:
    struct Frame;
    bool queue(Frame& frame, uint32_t address);

    Ch341Library& library_;
    SpiAddressMode mode_;
    uint32_t blockSize_;
    uint32_t end_;
    std::unique_ptr<Frame[]> frames_; // two: the block being read and the one queued behind it
    std::size_t current_ = 0;
};

// The status reads that follow a page program in its own exchange, spaced by the adapter's packet
// pace (about 0.15 ms each). A programming run keeps one and it follows the chip: one more read
// after a page the reads did not see end, one fewer (down to what the last page needed) after
// one they did.
struct SpiPagePolls {
    static constexpr std::size_t Max = 12;
    std::size_t count = 4; // enough for a typical page program of 0.4 to 0.6 ms
};
// 06; [mode 4: B7]; page-program frame + data (one page, any size); status reads until ready.
// One exchange carries the write enable, the page and the status reads of `polls` (4 without);
// further status reads follow only while the chip is still busy.
bool SPIProgramPage(Ch341Library& library, uint32_t address, std::span<const uint8_t> data, SpiAddressMode mode,
                    SpiPagePolls* polls = nullptr);
// The SST word program time (TBP, 10 us at most): how long chip select stays high between words.
inline constexpr std::chrono::microseconds SpiAaiWordTime{10};
// SST word auto-address-increment programming of one 256-byte block:
// 06; AD A23-16 A15-8 A7-0 d0 d1; 127 x AD d(i) d(i+1); 04; status reads until ready. The words
// go in one exchange, each after the word time of the one before.
bool SPIProgramAAI(Ch341Library& library, uint32_t address, std::span<const uint8_t, SpiAaiBlock> data);
