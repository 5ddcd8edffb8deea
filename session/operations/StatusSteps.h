#pragma once
// The short SPI commands, run on the session's thread: the id lines, the unique id, the status
// registers read and written, and unprotect.
#include "session/job/Job.h"
#include "session/operations/Jobs.h"

#include <array>
#include <cstdint>

namespace ops {

Job IdentifyJob(Inputs in);
Job UniqueIdJob(Inputs in);
// Reads the registers into the document's shadow and logs them; `registersRead` says how many.
Job ReadStatusJob(Inputs in, int& registersRead);
// Writes `registers`; a write that would lock the registers or protect the chip for good asks first
// (and is refused without a Yes), naming what it would do.
Job WriteStatusJob(Inputs in, std::array<uint8_t, 3> registers);
// Clears the protection; `eraseFollows` when the chip's unprotect must be followed by its erase.
Job UnprotectJob(Inputs in, bool& eraseFollows);

} // namespace ops
