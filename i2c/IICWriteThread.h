#pragma once
// The stream write of params.buffer into a 24xx chip, page by page. Pages start at multiples of
// params.pageSize, so none crosses a page boundary; each is one start-to-stop transfer with the
// acknowledgement of every byte tested, followed by ACK polling until the chip's write cycle has
// ended. The last page ends at the chip size: nothing beyond the image is sent.
//
// Messages: a step per page (after its write cycle); WriteFinished with the elapsed time;
// WriteCancelled when a cancel was waiting before a page; a fault with
//   the page's first address   when the address phase or the page's exchange fails,
//   the refused byte's address when a data byte is not acknowledged,
//   the next page's address    when the write cycle does not end.
// A page size of 0 is refused with a fault at address 0 before anything is sent.

#include "adapter/ch341a/Ch341Library.h"
#include "worker/WorkerContext.h"
#include "worker/WorkerParams.h"

#include <cstdint>

void IICWriteThread(Ch341Library& library, const WorkerParams& params, WorkerContext& context);
