#pragma once
// The stream read of a 24xx chip into params.buffer, in 32-byte blocks. Each block is a complete
// random read of its own (start, address phase, repeated start, read device byte, 32 bytes,
// stop), so nothing relies on the chip's address counter. A remainder below 32 bytes is not read.
//
// Messages: a step per block; ReadFinished with the elapsed time; ReadCancelled when a cancel
// was waiting before a block; a fault with the block's first byte address when a primitive fails
// (no stop is sent then, and the failed block leaves the buffer untouched).

#include "adapter/ch341a/Ch341Library.h"
#include "worker/WorkerContext.h"
#include "worker/WorkerParams.h"

#include <cstdint>

inline constexpr uint32_t IICReadBlock = 32; // the largest reply one exchange carries

void IICReadThread(Ch341Library& library, const WorkerParams& params, WorkerContext& context);
