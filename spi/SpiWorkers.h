#pragma once
// The SPI chip workers and what the window needs to start them. Each worker is a function of
// the adapter library, its parameters and its context; the Spi…Worker functions bind the
// library in for StartWorker:
//
//   StartWorker(SpiReadWorker(library), SpiReadParams(chip, image), sink)   read, compare, blank check
//   StartWorker(SpiWriteWorker(library), SpiWriteParams(chip, image), sink) page programming
//   StartWorker(SpiSstWorker(library), SpiSstParams(chip, image), sink)     SST word programming
//   StartWorker(SpiEraseWorker(library), SpiEraseParams(chip), sink)        chip erase
//
// The workers read and write the chip image in params.buffer (the TransferBuffer) at the chip
// addresses; it must stay alive until the worker's final message.

#include "adapter/ch341a/Ch341Library.h"
#include "chipdb/SelectedChip.h"
#include "worker/StartWorker.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>

// Read: the whole chip in chunks of min(size, 2048) bytes, one read frame each; a remainder
// below one chunk is not read. Steps per chunk, then ReadFinished with the time; ReadCancelled on
// a cancel, and at once for a size of 0 or without a buffer; a fault at the chunk's address when a
// transfer fails.
void SPIReadThread(Ch341Library& library, const WorkerParams& params, WorkerContext& context);
// Page programming with the page size; steps per page, then WriteFinished with the time;
// on a cancel (and for page size 0) a write disable, then WriteCancelled; when a page fails, a
// write disable, then a fault at the page's address.
void SPIWriteThread(Ch341Library& library, const WorkerParams& params, WorkerContext& context);
// SST auto-address-increment programming in 256-byte blocks, whatever the page size; a fault at
// the block's address when one fails.
void SPIWriteSSTThread(Ch341Library& library, const WorkerParams& params, WorkerContext& context);
// Chip erase: 06, C7, then status polls each followed by a waited-for erase tick, until the chip
// is ready (04, EraseFinished), a cancel (EraseCancelled, the chip erases on) or `limit` passes
// or a frame fails (fault -1).
void SPIEraseThread(Ch341Library& library, std::chrono::milliseconds limit, WorkerContext& context);

WorkerBody SpiReadWorker(Ch341Library& library);
WorkerBody SpiWriteWorker(Ch341Library& library);
WorkerBody SpiSstWorker(Ch341Library& library);
// The limit defaults to SpiEraseTimeout of the size in the parameters.
WorkerBody SpiEraseWorker(Ch341Library& library, std::optional<std::chrono::milliseconds> limit = std::nullopt);

// Parameters of each start: size, page size, kind text and the chip image as each worker uses
// them; null when the chip does not fit into `image`. The erase's block carries only the size,
// for the bound of its wait.
std::shared_ptr<WorkerParams> SpiReadParams(const chipdb::SelectedChip& chip, std::span<uint8_t> image);
std::shared_ptr<WorkerParams> SpiWriteParams(const chipdb::SelectedChip& chip, std::span<uint8_t> image);
std::shared_ptr<WorkerParams> SpiSstParams(const chipdb::SelectedChip& chip, std::span<uint8_t> image);
std::shared_ptr<WorkerParams> SpiEraseParams(const chipdb::SelectedChip& chip);

// Checks the window makes before starting: a size of 0 cannot be read (log spitext::ChipSizeZero
// and return to ready); a page size of 0 cannot be programmed (the PageSizeZero box).
inline bool SpiChipReadable(uint32_t chipSize)
{
    return chipSize > 0;
}
inline bool SpiPageSizeUsable(int pageSize)
{
    return pageSize > 0 && pageSize <= 0xFFFF;
}

// Progress bar maxima.
inline constexpr uint32_t SpiReadChunkLimit = 2048;
inline uint32_t SpiReadChunk(uint32_t size)
{
    return size < SpiReadChunkLimit ? size : SpiReadChunkLimit;
}
inline uint32_t SpiReadSteps(uint32_t size)
{
    return size == 0 ? 0 : size / SpiReadChunk(size);
}
inline uint32_t SpiPageSteps(uint32_t size, uint32_t pageSize)
{
    return pageSize == 0 ? 0 : size / pageSize;
}
inline uint32_t SpiSstSteps(uint32_t size)
{
    return size / 256;
}
inline constexpr uint32_t SpiEraseSteps = 100;
