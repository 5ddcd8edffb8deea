#pragma once
// The looks at the chip a command takes before it changes anything: is a chip there, is it the
// selected one, is it protected, is it erased. Each returns Completed to go on; otherwise it has
// said why in the log (or the user declined), and nothing was sent that changes the chip.
#include "session/job/JobContext.h"
#include "session/operations/OperationInputs.h"

#include <functional>

namespace ops {

// An SPI chip answers (the red "Device is defective or not installed!" otherwise).
Outcome CheckPresent(JobContext& ctx, const OperationInputs& in);

// The chip's id against the selected record's signature. An empty socket is "no chip"; a
// different chip is refused unless the user goes on (WrongChip prompt). `useDetected`, when set,
// is offered as the third answer and called with the detected signature on the session's thread.
Outcome CheckIdentity(JobContext& ctx, OperationInputs& in,
                      const std::function<bool(const std::string& signature)>& useDetected = {});

// Block protection set: asks to unprotect. Yes unprotects (and says how the registers changed);
// No ends the command: one red line, nothing sent. `eraseFollows` is set when the chip's unprotect
// ends with a whole-chip erase that must run now.
Outcome OfferUnprotect(JobContext& ctx, const OperationInputs& in, bool& eraseFollows);

// Unprotect and its report; true when the chip's unprotect ends with a whole-chip erase.
bool UnprotectAndReport(JobContext& ctx, const OperationInputs& in);

// The status registers read into the document's shadow (`registersRead` says how many); the red
// read error otherwise.
Outcome ReadStatusIntoShadow(JobContext& ctx, const OperationInputs& in, bool logLines, int* registersRead = nullptr);

} // namespace ops
