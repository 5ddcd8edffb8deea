#pragma once
// The stream write of params.buffer into a 24xx chip, page by page. Pages start at multiples of
// params.pageSize, so none crosses a page boundary; each is one start-to-stop transfer followed by
// a fixed wait for the chip's write cycle. The last page ends at the chip size: nothing beyond the
// image is sent.
//
// Messages: a step per page (after its wait); WriteFinished with the elapsed time; WriteCancelled
// when a cancel was waiting before a page; a fault, no stop sent, with
//   the page's first address   when the start, the address phase or the stop fails,
//   the refused byte's address when a data byte is not acknowledged,
//   the next page's address    when the wait fails.
// A page size of 0 is refused with a fault at address 0 before anything is sent.

#include "adapter/Ch341Library.h"
#include "worker/WorkerContext.h"
#include "worker/WorkerParams.h"

#include <cstdint>

// The only allowance for the write cycle: there is no acknowledgement polling.
inline constexpr uint32_t IICWriteCycleMs = 10;

void IICWriteThread(Ch341Library& library, const WorkerParams& params, WorkerContext& context);
