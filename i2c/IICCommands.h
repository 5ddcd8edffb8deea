#pragma once
// What the Read, Write and Compare commands need for a 24xx chip: the checks, the progress
// maximum, the worker parameters built from the selected chip, and the start of the workers.
//
// Stream path (ACK checking on):
//   read/compare: steps = IICReadSteps(size); params = MakeIICReadParams(chip, TransferBuffer());
//                 queue = StartIICReadThread(library, params, sink)
//   write:        refuse with the "PageSize = 0" box unless IICPageSizeUsable(chip.PageSize);
//                 copy the image into the TransferBuffer; steps = IICWriteSteps(size, page size);
//                 params = MakeIICWriteParams(...); queue = StartIICWriteThread(...)
// Fast path (ACK checking off): IICFastRead / IICFastWrite with the chip's type code.

#include "adapter/Ch341Library.h"
#include "chipdb/SelectedChip.h"
#include "worker/StartWorker.h"

#include <cstdint>
#include <memory>
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

// Start the worker on a thread of its own; the library must outlive it. Null when no thread
// could be created.
std::shared_ptr<WorkerQueue> StartIICReadThread(Ch341Library& library, std::shared_ptr<const WorkerParams> params,
                                                std::shared_ptr<MessageSink> sink);
std::shared_ptr<WorkerQueue> StartIICWriteThread(Ch341Library& library, std::shared_ptr<const WorkerParams> params,
                                                 std::shared_ptr<MessageSink> sink);
