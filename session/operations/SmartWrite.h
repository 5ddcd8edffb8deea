#pragma once
// Smart write: writes only what differs between the chip and the editor. It starts from the chip's
// contents as the session last saw them, or reads the chip first; erases the 4 KiB sectors (or the
// whole chip) where a bit must go from 0 to 1, programs the pages that differ, then reads back
// every range it erased or programmed.
#include "session/job/JobContext.h"
#include "session/operations/OperationInputs.h"

namespace ops {

Outcome SmartWriteChip(JobContext& ctx, OperationInputs& in);

} // namespace ops
