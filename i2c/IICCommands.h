#pragma once
// What the Read, Write and Compare commands need for a 24xx chip: the checks, the progress
// maximum and the worker parameters built from the selected chip.
//
// Stream path (ACK checking on):
//   read/compare: steps = IICReadSteps(size); params = MakeIICReadParams(chip, TransferBuffer());
//                 IICReadThread (i2c/IICReadThread.h) runs on a worker with them
//   write:        refuse with the "PageSize = 0" box unless IICPageSizeUsable(chip.PageSize);
//                 copy the image into the TransferBuffer; steps = IICWriteSteps(size, page size);
//                 params = MakeIICWriteParams(...); IICWriteThread runs on a worker
// Fast path (ACK checking off): IICFastRead / IICFastWrite with the chip's type code.

#include "chipdb/SelectedChip.h"
#include "worker/WorkerParams.h"

#include <cstdint>
#include <optional>
#include <span>

// The 24xx type code of a kind text: 0..12, 13 when the kind is none of the 24xx kinds.
uint8_t EepromTypeOf(const chipdb::SelectedChip& chip);

// A page size the write can work with (the WorkerParams field holds 1..65535).
bool IICPageSizeUsable(int pageSize);

// Progress steps, one per block read or page written; the write counts the short last page.
uint32_t IICReadSteps(uint32_t chipSize);
uint32_t IICWriteSteps(uint32_t chipSize, int pageSize);

// Nullopt when the chip does not fit into `buffer` (or, for the write, its page size is unusable).
std::optional<WorkerParams> MakeIICReadParams(const chipdb::SelectedChip& chip, std::span<uint8_t> buffer);
std::optional<WorkerParams> MakeIICWriteParams(const chipdb::SelectedChip& chip, std::span<uint8_t> buffer);
