#pragma once
// The commands as jobs: each builds the list of steps its command runs, from the inputs captured
// when it starts. The session starts them on its runner; a script is several of them chained.
#include "session/job/Job.h"
#include "session/operations/OperationInputs.h"
#include "session/operations/WriteSteps.h"

#include <functional>
#include <memory>
#include <string>

namespace ops {

using Inputs = std::shared_ptr<OperationInputs>;
// Called on the session's thread when the user picks the chip found in the socket instead of the
// selected one: selects it and refreshes the inputs; false when it cannot be selected.
using UseDetectedChip = std::function<bool(const std::string& signature, OperationInputs& in)>;

Job ReadJob(Inputs in, UseDetectedChip useDetected = {});
Job CompareJob(Inputs in, UseDetectedChip useDetected = {});
Job BlankCheckJob(Inputs in, UseDetectedChip useDetected = {});
Job WriteJob(Inputs in, WriteMode mode, UseDetectedChip useDetected = {});
Job SmartWriteJob(Inputs in, UseDetectedChip useDetected = {});
Job EraseJob(Inputs in, UseDetectedChip useDetected = {});
// The erase that follows an unprotect which ends with one (MX25L2026): no question, no check of
// the registers.
Job EraseAfterUnprotectJob(Inputs in);

struct ScriptSteps {
    bool erase = false, blankCheck = false, write = false, compare = false;
    bool any() const { return erase || blankCheck || write || compare; }
};
// Erase, blank check, write, compare, in that order, as ticked (erase and blank check on SPI chips
// only); the first step that fails ends it with a red line naming that step.
Job ScriptJob(Inputs in, ScriptSteps steps, UseDetectedChip useDetected = {});

} // namespace ops
